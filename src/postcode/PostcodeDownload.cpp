#include "PostcodeDownload.h"
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

namespace PostcodeDownload {

namespace {

QString networkMessage(QNetworkReply::NetworkError error, const QString &detail) {
    switch (error) {
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError: return QStringLiteral("서버의 응답이 없어 내려받기를 멈췄습니다.");
    case QNetworkReply::RemoteHostClosedError: return QStringLiteral("서버와의 연결이 중간에 끊겼습니다.");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("업그레이드 서버에 연결할 수 없습니다. (%1)").arg(detail);
    default: return QStringLiteral("내려받기 실패: %1").arg(detail);
    }
}

} // namespace

Result fetch(const QUrl &url, const QString &file, const Options &options) {
    Result result;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.message = QStringLiteral("'%1' 파일을 만들 수 없습니다: %2").arg(file, out.errorString());
        return result;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(options.timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop loop;
    QString writeError;
    bool tooLarge = false;
    qint64 received = 0;
    const auto overCap = [&](qint64 bytes) {
        if (options.maxBytes < 0 || bytes <= options.maxBytes || tooLarge)
            return tooLarge;
        tooLarge = true;
        reply->abort();
        return true;
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            overCap(length.toLongLong());
    });
    const auto drain = [&] {
        const QByteArray chunk = reply->isOpen() && !tooLarge ? reply->readAll() : QByteArray();
        received += chunk.size();
        if (overCap(received))
            return;
        if (!chunk.isEmpty() && writeError.isEmpty() && out.write(chunk) != chunk.size()) {
            writeError = QStringLiteral("'%1' 파일을 쓸 수 없습니다: %2").arg(file, out.errorString());
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, drain);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop, [&](qint64 got, qint64 total) {
        if (options.progress && !result.cancelled && !options.progress(got, total)) {
            result.cancelled = true;
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(); // the progress dialog's cancel button must stay live
    drain();
    out.close();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (tooLarge)
        result.message = QStringLiteral("서버의 파일이 너무 커서 내려받기를 멈췄습니다. 우편번호 자료는 %1를 넘지 "
                                        "않습니다.")
                             .arg(QLocale(QLocale::Korean)
                                      .formattedDataSize(options.maxBytes, 0, QLocale::DataSizeTraditionalFormat));
    else if (result.cancelled)
        result.message = QStringLiteral("내려받기를 취소했습니다.");
    else if (!writeError.isEmpty())
        result.message = writeError;
    else if (status != 0 && status != 200)
        result.message = QStringLiteral("서버에 최신 우편번호 파일이 없습니다. (HTTP %1)").arg(status);
    else if (reply->error() != QNetworkReply::NoError)
        result.message = networkMessage(reply->error(), reply->errorString());
    else if (length.isValid() && length.toLongLong() != received)
        result.message = QStringLiteral("서버와의 연결이 중간에 끊겼습니다.");
    else if (out.error() != QFileDevice::NoError)
        result.message = QStringLiteral("'%1' 파일을 쓸 수 없습니다: %2").arg(file, out.errorString());
    else
        result.ok = true;
    if (!result.ok)
        QFile::remove(file);
    return result;
}

} // namespace PostcodeDownload
