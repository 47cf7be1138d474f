#include "platform/qt/NumberEdit.h"

#include <QLineEdit>

namespace platform {

void KeepDigitsAndPoints(QLineEdit& edit) {
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [&edit](const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text[i].isDigit() && text[i] != QLatin1Char('.')) {
                edit.setText(text.left(i));
                edit.setCursorPosition(static_cast<int>(i));
                return;
            }
        }
    });
}

} // namespace platform
