#pragma once
#include <QString>
#include <stdexcept>

// An error with a number and a description, in the form the program reports errors.
struct AppError : std::runtime_error {
    AppError(int number, QString description, QString procedure = {}, QString module = {})
        : std::runtime_error(description.toStdString()), number(number), description(std::move(description)),
          procedure(std::move(procedure)), module(std::move(module)) {}
    int number;
    QString description;
    QString procedure;
    QString module; // "Module x" or "Form y"; empty for none
};

namespace ErrorBox {
// "Error 5 (description) in procedure X of Module Y": the plain box every procedure shows.
QString text(int number, const QString &description, const QString &procedure, const QString &module = {});
// Shows the box for e; procedure and module fill in what e leaves empty.
void report(const AppError &e, const QString &procedure = {}, const QString &module = {});
void report(int number, const QString &description, const QString &procedure, const QString &module = {});
} // namespace ErrorBox
