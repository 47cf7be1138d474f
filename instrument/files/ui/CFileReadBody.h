#pragma once
#include "instrument/files/ui/StorageChoice.h"
#include "instrument/screens/CPane.h"

#include <string>

class FileListControl;
class QLabel;

// The file list pane of the open and delete screens: the trace files of one place (the USB disk at start)
// with their size, type and date, under a title and a path line that the file menu sets for the screen it
// opens.
class CFileReadBody : public CPane {
public:
    explicit CFileReadBody(QWidget* parent);

    // The title and the path line's caption of the screen shown.
    void SetHeading(const std::u16string& title, const std::u16string& pathCaption);
    QString Heading() const;
    QString PathCaption() const;
    // Lists the files of the place shown, the first row selected and the list focused.
    void Refill();
    StorageChoice& Storage() { return storage_; }
    const StorageChoice& Storage() const { return storage_; }
    FileListControl& List() const { return *list_; }

protected:
    // Relayed keys need nothing here: the focused list takes the key itself.
    bool event(QEvent* event) override;

private:
    void PlacePathLine();

    QLabel* heading_;
    QLabel* path_;
    StorageChoice storage_;
    FileListControl* list_;
};
