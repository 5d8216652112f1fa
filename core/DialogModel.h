#pragma once

namespace tova {

// The presentation model of a dialog: its controls' state as typed fields and its handlers as
// methods, in plain C++ that a test drives without widgets. The form (a ModelDialog) binds its widgets
// to these fields and shows them again after every handler.
//
// A handler ends the modal display with accept() (OK: `Result` true) or reject() (Cancel); Escape and
// the close box call cancelRequested(), which rejects unless a dialog says otherwise.
class DialogModel {
public:
    virtual ~DialogModel() = default;

    bool hidden = false;  // OK or Cancel ended the modal display
    bool Result = false;  // ended with OK

    void accept() {
        Result = true;
        hidden = true;
    }
    void reject() {
        Result = false;
        hidden = true;
    }
    virtual void cancelRequested() { reject(); }
};

}  // namespace tova
