#pragma once

namespace ulv {

// The document of the main window: it holds nothing; the pages keep their own
// state and settings files.
class CGlobalDoc {
public:
    bool OnNewDocument() { return true; }
};

} // namespace ulv
