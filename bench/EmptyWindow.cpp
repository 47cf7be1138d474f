// The yardstick for start-up: a bare Qt dialog of the instrument's size, or with `--main W H` a bare main
// window of the desktop program's size, closed as soon as it shows.
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--main")) {
        QMainWindow window;
        window.setFixedSize(arguments[2].toInt(), arguments[3].toInt());
        window.show();
        QTimer::singleShot(0, &window, [] { QApplication::exit(0); });
        return QApplication::exec();
    }
    QDialog dialog;
    dialog.setFixedSize(320, 240);
    QTimer::singleShot(0, &dialog, [&] { dialog.done(18); });
    return dialog.exec();
}
