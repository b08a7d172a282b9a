// The peer of window_start_bench: a Qt program that opens a dialog with as many controls of the same
// kinds as the main window, renders it offscreen into a PNG file and exits, doing nothing else. What
// LumikartaSystemInfo --screenshot needs beyond this is the cost of its own start-up.
//
//   bare_qt_window FILE

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(632, 314);
    int y = 10;
    for (const char* label : {"Produkte", "Grafikkarte", "Grafik-Treiber", "Betriebssystem", "Prozessor",
                              "Arbeitsspeicher", "Drucker", "FAQ"}) {
        (new QLabel(label, &dialog))->setGeometry(12, y, 120, 14);
        y += 36;
    }
    for (int row = 0; row < 5; ++row) {
        (new QLineEdit("Text", &dialog))->setGeometry(135, 88 + 28 * row, 485, 21);
    }
    (new QListWidget(&dialog))->setGeometry(135, 10, 485, 60);
    (new QListWidget(&dialog))->setGeometry(135, 222, 485, 47);
    auto* combo = new QComboBox(&dialog);
    combo->addItems({"Deutsch", "English"});
    combo->setGeometry(135, 280, 108, 22);
    int x = 334;
    for (const char* button : {"Info kopieren", "Support", "Updates"}) {
        (new QPushButton(button, &dialog))->setGeometry(x, 280, 88, 23);
        x += 100;
    }
    dialog.show();
    return dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
