#pragma once

// What the left half shows (pmTree, pmSearch in the window's old terms). The numbers are the ones
// the mode actions carry as their data.
enum class TqbPanelMode { Tree = 3, Search = 4 };
