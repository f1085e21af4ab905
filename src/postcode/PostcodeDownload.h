#pragma once
#include <QString>
#include <QUrl>
#include <functional>

// Fetches one file over HTTP(S) into a local file, blocking the caller (events keep running,
// so a progress dialog stays live). A failed or cancelled download leaves no file behind.
namespace PostcodeDownload {

struct Options {
    // No data for this long ends the download.
    int timeoutMs = 30000;
    // Bytes so far and in all (-1 when the server does not say); false cancels.
    std::function<bool(qint64 received, qint64 total)> progress;
    // More than this ends the download, as soon as the server announces it or the bytes
    // pass it; -1 takes any size.
    qint64 maxBytes = -1;
};

struct Result {
    bool ok = false;
    bool cancelled = false;
    QString message; // why it failed, in the user's words
};

Result fetch(const QUrl &url, const QString &file, const Options &options = {});

} // namespace PostcodeDownload
