#pragma once
#include "instrument/screens/CPane.h"

#include <array>
#include <string>

class FileListControl;
class QPushButton;

// The copy pane: the trace files of the memory (left) and the USB disk (right), and the copy buttons
// between them, of which only the active side's is enabled. The active list is the one that last got
// the focus; each list remembers its last selected row.
class CFileCopyBody : public CPane {
public:
    // The lists by side.
    enum Side { kMemory = 0, kUsb = 1 };

    explicit CFileCopyBody(QWidget* parent);

    // The copy screen's disk check, each failure said with this pane's text.
    bool UsbReady() const;
    // The screen just opened: both lists filled, the memory list active and focused on its first row.
    void Open();
    // The texts a copy ends with: those of the panel or the pane's own.
    struct CopyTexts {
        std::u16string failed;
        std::u16string done;
    };
    // Copies the selected file of the active list, or all its files with select-all on, to the other
    // place; a failed copy is said and the others go on. Each copy refills both lists, or only the last
    // one with eachRefilled false. Done is said only when something was copied and nothing failed.
    void Copy(const CopyTexts& texts, bool eachRefilled);
    // The other list active and focused on its remembered row; select-all cleared first.
    void SwitchActive();
    // Select-all of the active list on, remembering the selected row, or off, back to that row.
    void ToggleSelectAll();
    // Select-all off, when on.
    void ClearSelectAll();

    Side Active() const { return active_; }
    FileListControl& List(Side side) const { return *lists_[side]; }
    // The copy button of a side: from its list to the other.
    QPushButton& CopyButton(Side side) const { return *buttons_[side]; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetActive(Side side);
    void Fill();
    // The active list focused, its remembered row selected unless all are.
    void Reselect();
    void OnSelectionChanged(Side side);

    std::array<FileListControl*, 2> lists_{};
    std::array<QPushButton*, 2> buttons_{};
    Side active_ = kMemory;
    std::array<int, 2> remembered_{0, 0};
    std::u16string noDisk_;
    std::u16string noFolder_;
    std::u16string selectFile_;
    CopyTexts own_;
};
