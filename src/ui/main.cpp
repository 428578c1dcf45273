// vantrel: the desktop application.
#include "ui/Application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return Vantrel::Ui::runApplication(app);
}
