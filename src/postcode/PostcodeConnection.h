#pragma once
#include <QSqlDatabase>
#include <QString>

// A window's own read-only connection to the postal-code database, apart from the shared one.
class PostcodeConnection {
public:
    PostcodeConnection();
    ~PostcodeConnection();
    PostcodeConnection(const PostcodeConnection &) = delete;
    PostcodeConnection &operator=(const PostcodeConnection &) = delete;

    // DBS/dbPost.db in the application folder.
    static QString defaultFile();

    enum class Result { Open, Missing, Failed };
    // A missing file is reported with "우편번호 DB를 찾을 수 없습니다.", a file the engine
    // cannot read with the "DB 연결 실패" box; neither leaves a connection.
    Result open(const QString &file);
    void close();
    bool isOpen() const;
    QSqlDatabase database() const;

private:
    QString m_name;
};
