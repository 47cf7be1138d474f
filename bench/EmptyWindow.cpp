// The yardstick for start-up: a bare Qt dialog of the instrument's size, closed as soon as it shows.
#include <QApplication>
#include <QDialog>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(320, 240);
    QTimer::singleShot(0, &dialog, [&] { dialog.done(18); });
    return dialog.exec();
}
