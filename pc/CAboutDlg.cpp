#include "pc/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* version =
        new QLabel(QStringLiteral("OTDR Management Software\n%1").arg(QString::fromLatin1(kVersion)), this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto* close = new QPushButton(QStringLiteral("CloseWindow"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignCenter);
    setFixedSize(280, 120);
}
