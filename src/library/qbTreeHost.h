#pragma once

// What the note tree asks of the window that hosts it. The tree never knows the window itself.
class IqbTreeHost {
public:
    virtual ~IqbTreeHost() = default;
    // Write the open document back if it changed; nothing when no document is open. False when
    // it could not be written: the tree then stays on the open document so nothing is lost.
    virtual bool SaveCurrentNote() = 0;
    // Load the document the tree's OpenPath names, creating it from the default header if missing.
    virtual void OpenCurrentNote() = 0;
};
