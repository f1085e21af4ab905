#pragma once
#include "Prompter.h"
#include <QList>
#include <QVariant>
#include <deque>

// Records every box and answers from a queue. A box the script did not expect is recorded
// in unexpected(); TestEnv fails the test when any is left.
class ScriptedPrompter final : public Prompter {
public:
    struct Box {
        QString kind; // "message", "question", "input", "file", "folder", "color", "font", "print"
        Icon icon = Icon::None;
        QString title;
        QString text;
        bool yesIsDefault = false;
    };

    // Queued answers, taken in order: Yes/No for questions, a text (or cancel) for inputs,
    // a path for file and folder choosers.
    void answerYes() { m_answers.push_back(QVariant(int(Yes))); }
    void answerNo() { m_answers.push_back(QVariant(int(No))); }
    void answerText(const QString &t) { m_answers.push_back(QVariant(t)); }
    void answerCancel() { m_answers.push_back(QVariant()); }
    void answerColor(const QColor &c) { m_answers.push_back(QVariant(c)); }
    void answerFont(const QFont &f) { m_answers.push_back(QVariant(f)); }
    void answerIndex(int i) { m_answers.push_back(QVariant(i)); }

    const QList<Box> &boxes() const { return m_boxes; }
    QStringList texts() const;
    QStringList unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

    void message(Icon icon, const QString &title, const QString &text) override;
    int question(const QString &title, const QString &text, bool yesIsDefault) override;
    std::optional<QString> input(const QString &title, const QString &prompt, const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &dir, const QString &filter) override;
    QString folder(const QString &title, const QString &dir) override;
    std::optional<QColor> color(const QString &title, const QColor &initial) override;
    std::optional<QFont> font(const QFont &initial) override;
    // Answered with answerText(printer name) or answerCancel(); an empty name keeps the
    // printer as the program set it up (a file when it has an output file name); a name
    // ending in ".pdf" is the dialog's print-to-file choice.
    bool printDialog(QPrinter &printer) override;

private:
    QVariant take(const Box &box);
    QList<Box> m_boxes;
    QStringList m_unexpected;
    std::deque<QVariant> m_answers;
};
