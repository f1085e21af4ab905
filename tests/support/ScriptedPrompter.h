#pragma once
#include "Prompter.h"
#include <QList>
#include <QVariant>
#include <deque>
#include <functional>

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
    // The answer i, given after act ran: what happens in the world while the box is up.
    void answerIndexAfter(int i, std::function<void()> act) { m_answers.push_back(QVariant(i), std::move(act)); }

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
    // ending in ".pdf" is the dialog's print-to-file choice; "name|A5" also picks the paper.
    bool printDialog(QPrinter &printer) override;
    // Answered with answerIndex; unscripted, the last button (what Esc would give). The box
    // text ends in "|" and the buttons joined by "/", the default one marked with "*".
    int choice(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultIndex) override;

private:
    QVariant take(const Box &box);
    QList<Box> m_boxes;
    QStringList m_unexpected;
    struct Answers {
        std::deque<std::pair<QVariant, std::function<void()>>> queue;
        void push_back(QVariant v, std::function<void()> act = {}) { queue.emplace_back(std::move(v), std::move(act)); }
        bool empty() const { return queue.empty(); }
        size_t size() const { return queue.size(); }
        void clear() { queue.clear(); }
    } m_answers;
};
