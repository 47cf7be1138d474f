#pragma once
#include "instrument/screens/CPane.h"

class QLabel;

// The system information pane: company, software version, e-mail, telephone and web address.
class CSystemInfoBody : public CPane {
public:
    enum Row { kCompany, kVersion, kEmail, kTel, kUrl, kRows };

    explicit CSystemInfoBody(QWidget* parent);
    QString Value(Row row) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The values as the installed files give them now.
    void Fill();

    QLabel* values_[kRows] = {};
};
