#include "ScriptedPrompter.h"
#include <QPrinter>

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Box &b : m_boxes)
        out << b.text;
    return out;
}

void ScriptedPrompter::clear() {
    m_boxes.clear();
    m_unexpected.clear();
    m_answers.clear();
}

QVariant ScriptedPrompter::take(const Box &box) {
    m_boxes << box;
    if (m_answers.empty()) {
        m_unexpected << box.kind + QStringLiteral(": ") + box.title + QStringLiteral(" / ") + box.text;
        return {};
    }
    auto [v, act] = std::move(m_answers.queue.front());
    m_answers.queue.pop_front();
    if (act)
        act();
    return v;
}

void ScriptedPrompter::message(Icon icon, const QString &title, const QString &text) {
    m_boxes << Box{QStringLiteral("message"), icon, title, text, false};
}

int ScriptedPrompter::question(const QString &title, const QString &text, bool yesIsDefault) {
    const QVariant v = take(Box{QStringLiteral("question"), Icon::Question, title, text, yesIsDefault});
    if (!v.isValid())
        return yesIsDefault ? Yes : No; // what Enter would give
    return v.toInt();
}

std::optional<QString> ScriptedPrompter::input(const QString &title, const QString &prompt,
                                               const QString &defaultText) {
    const QVariant v =
        take(Box{QStringLiteral("input"), Icon::None, title, prompt + QStringLiteral("|") + defaultText, false});
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

QString ScriptedPrompter::openFileName(const QString &title, const QString &dir, const QString &) {
    return take(Box{QStringLiteral("file"), Icon::None, title, dir, false}).toString();
}

QString ScriptedPrompter::folder(const QString &title, const QString &dir) {
    return take(Box{QStringLiteral("folder"), Icon::None, title, dir, false}).toString();
}

std::optional<QColor> ScriptedPrompter::color(const QString &title, const QColor &initial) {
    const QVariant v = take(Box{QStringLiteral("color"), Icon::None, title, initial.name(), false});
    if (!v.isValid())
        return std::nullopt;
    return v.value<QColor>();
}

std::optional<QFont> ScriptedPrompter::font(const QFont &initial) {
    const QVariant v = take(Box{QStringLiteral("font"), Icon::None, QString(), initial.toString(), false});
    if (!v.isValid())
        return std::nullopt;
    return v.value<QFont>();
}

bool ScriptedPrompter::printDialog(QPrinter &printer) {
    const QVariant v = take(Box{QStringLiteral("print"), Icon::None, QString(), printer.printerName(), false});
    if (!v.isValid())
        return false;
    const QStringList parts = v.toString().split(QLatin1Char('|'));
    const QString answer = parts.first();
    for (int id = 0; parts.size() > 1 && id <= QPageSize::LastPageSize; ++id)
        if (QPageSize::key(QPageSize::PageSizeId(id)) == parts[1])
            printer.setPageSize(QPageSize(QPageSize::PageSizeId(id)));
    if (answer.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(answer);
    } else if (!answer.isEmpty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(answer);
    }
    return true;
}

int ScriptedPrompter::choice(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
                             int defaultIndex) {
    QStringList shown = buttons; // the default button marked with "*"
    if (defaultIndex >= 0 && defaultIndex < shown.size())
        shown[defaultIndex].prepend(QLatin1Char('*'));
    const QVariant v = take(
        Box{QStringLiteral("choice"), icon, title, text + QStringLiteral("|") + shown.join(QLatin1Char('/')), false});
    return v.isValid() ? v.toInt() : int(buttons.size()) - 1; // as Esc: never a retry loop
}
