#pragma once
#include "ServerConnection.h"
#include <QGroupBox>
#include <array>
#include <optional>

class QLineEdit;
class QPushButton;

// Where the shop's database server is: address, port, database, user and password, with a
// button that tries them at once.
class ServerDbBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ServerDbBox(QWidget *parent = nullptr);
    void load(const ServerConnection &c);
    ServerConnection connection() const;
    // The connection when address, database and user are given; otherwise none, after saying so.
    std::optional<ServerConnection> completeConnection() const;

    std::array<QLineEdit *, 5> txtServer{}; // host, port, database, user, password
    QPushButton *btnTest = nullptr;

private:
    void btnTest_Click();
};
