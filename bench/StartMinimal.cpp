// The reference for the program's start: a minimal Qt program showing one
// dialog with a label and a button, ended at the dialog's first paint.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

struct TDialog : QDialog {
    void paintEvent(QPaintEvent*) override { std::_Exit(0); }
};

} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    TDialog Dialog;
    auto* Layout = new QVBoxLayout(&Dialog);
    Layout->addWidget(new QLabel(QStringLiteral("Choose a language")));
    Layout->addWidget(new QPushButton(QStringLiteral("OK")));
    Dialog.exec();
    return 1;
}
