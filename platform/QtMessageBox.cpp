#include "platform/QtMessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace xcr {

namespace {

QString textOf(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// The caption is the program's name, which the program entry sets.
void QtMessageBox::show(QWidget* parent, const std::string& text) {
    QMessageBox::critical(parent, QCoreApplication::applicationName(), textOf(text));
}

void QtMessageBox::inform(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QCoreApplication::applicationName(), textOf(text));
}

}  // namespace xcr
