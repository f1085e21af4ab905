#pragma once
#include "Seam.h"
#include <QString>
#include <QStringList>

// Starting programs and opening documents or addresses.
class Shell : public Seam<Shell> {
public:
    enum class Show { Normal, NoActivate, Hidden };
    virtual ~Shell() = default;

    static constexpr int kNotStarted = -1;
    static constexpr int kCrashed = -2;

    // Starts program with the given argument text, a command tail that is split into
    // arguments as a program's runtime splits its command line (quotes group). With wait, blocks until it ends and
    // returns its exit code (kCrashed when it crashed); without, returns 0 when it started.
    // kNotStarted when it cannot start.
    virtual int start(const QString &program, const QString &argumentText, const QString &workingDir, Show show,
                      bool wait) = 0;
    // Opens a document or a web address with the desktop's handler.
    virtual bool open(const QString &documentOrUrl) = 0;
};
template <> Shell &Seam<Shell>::fallback();

inline Shell &shell() { return Shell::instance(); }
