#pragma once
#include <QValidator>

// Keeps a line edit's text in upper case as it is typed (IDs, management numbers).
class UpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        input = input.toUpper();
        return Acceptable;
    }
};
