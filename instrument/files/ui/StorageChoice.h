#pragma once
#include <string>

class QRadioButton;
class QWidget;

// The storage buttons of the save and file list panes, USB disk and memory: they show the place the pane
// works on, which only the soft keys change.
class StorageChoice {
public:
    // The captions are the keys "U_disk" and "mem_disk" of the pane's section.
    StorageChoice(QWidget* pane, const std::u16string& section, int location);
    int Location() const { return location_; }
    // The USB disk check of these panes, a failure said with the file list's no-disk text.
    bool UsbReady() const;
    // Flash to USB disk only when the disk is ready, back always; false when the place stayed.
    bool Toggle();
    // Both buttons side by side from x, each as wide as its caption.
    void Place(int x, int y, int height, int gap);
    QRadioButton& Usb() const { return *usb_; }
    QRadioButton& Memory() const { return *memory_; }

private:
    void Show();

    QRadioButton* usb_;
    QRadioButton* memory_;
    std::u16string noDisk_;
    int location_;
};
