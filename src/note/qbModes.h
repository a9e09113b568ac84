#pragma once

// What the right half shows of the open note (vmNone, vmBrowse, vmEdit, vmSource in the window's
// old terms). The numbers are the ones the mode actions carry as their data.
enum class TqbViewMode { None = -1, Browse = 0, Edit = 1, Source = 2 };
