#pragma once
#include "instrument/files/ui/StorageChoice.h"
#include "instrument/screens/CPane.h"

#include <string>

class QLineEdit;

// The save pane: the name edit and the place the trace goes to (internal flash at start).
class CFileSaveBody : public CPane {
public:
    explicit CFileSaveBody(QWidget* parent);

    // A screen just opened: the name proposed from the clock, the edit focused with all of it selected.
    void Open();
    // The name as typed, UTF-8.
    std::string Name() const;
    // Name editing on: the edit focused with its whole text selected; pressed again, off, the focus
    // left where it is.
    void ToggleNameEditing();
    bool NameEditing() const { return editing_; }
    StorageChoice& Storage() { return storage_; }
    const StorageChoice& Storage() const { return storage_; }
    // While set, a second save waits: it is cleared a little after each save, whatever came of it.
    bool Busy() const { return busy_; }
    void SetBusy();
    QLineEdit& NameEdit() const { return *name_; }

protected:
    // Relayed keys need nothing here: the focused edit takes the key itself.
    bool event(QEvent* event) override;

private:
    void FocusName();

    QLineEdit* name_;
    StorageChoice storage_;
    bool editing_ = false;
    bool busy_ = false;
};
