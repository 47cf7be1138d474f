#pragma once
#include "instrument/acquisition/TestParameters.h"
#include "instrument/screens/CPane.h"
#include "instrument/state/ResourceIds.h"

#include <array>
#include <map>
#include <string>

class QComboBox;
class QLineEdit;

// The test settings pane: test way, average time and the test parameters, applied before every test.
class CSetOtdrBody : public CPane {
public:
    static constexpr int kFirstControl = ctl::kTestWay;
    static constexpr int kLastControl = ctl::kEventThreshold;

    explicit CSetOtdrBody(QWidget* parent);
    // Checks the values and takes them over into the current parameters; 0 after the warning shown
    // when one is refused.
    int Apply();
    // Enables and greys the fields for the test way selected.
    void EnableFieldsForTestWay();
    // After a successful apply: the values go to the settings file and become what a cancel restores.
    // False, after a message, when the file could not be written; what a cancel restores stays.
    bool Save();
    // Every control back to the values last loaded or saved.
    void Restore();
    // The focus to a control by its identifier; an edit's whole text is selected.
    void FocusControl(int id);
    // Shown and enabled: a control the focus steps may stop on.
    bool TakesInput(int id) const;
    QWidget* Control(int id) const;
    // The fields as the controls hold them.
    SettingsFields Fields() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const SettingsFields& fields);
    // A message of the screen's language section, with the program's own text where the file has none.
    void ShowMessage(const std::u16string& key);
    // The pulse and attenuation lists offered at a range, keeping the selections that still exist.
    void RebuildLists(int rangeIndex, int pulseIndex, int attenuationIndex);
    void OnWavelengthChanged();
    void OnRangeChanged();
    void OnTestWayChanged();

    std::map<int, QWidget*> controls_;
    QComboBox* way_;
    QLineEdit* averageTime_;
    QComboBox* wavelength_;
    QComboBox* range_;
    QComboBox* pulse_;
    QComboBox* attenuation_;
    QLineEdit* refractive_;
    QLineEdit* cableRatio_;
    QLineEdit* threshold_;
    SettingsFields stored_;
    // The stored refractive-index texts of 1310 nm and 1550 nm.
    std::array<std::string, 2> storedRefractive_;
    // The refusal messages, each read from the language file once and kept for the run.
    std::map<std::u16string, std::u16string> messages_;
    bool filling_ = false;
};
