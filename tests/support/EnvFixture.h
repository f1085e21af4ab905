#pragma once
#include "TestEnv.h"
#include <QObject>
#include <memory>

// The base of a test class whose every case runs in a fresh TestEnv: init() makes it, then
// calls setUp(); cleanup() calls tearDown(), takes the TestEnv down and fails the case on a
// box nobody scripted.
class EnvFixture : public QObject {
    Q_OBJECT
protected:
    virtual void setUp() {}
    virtual void tearDown() {}
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init();
    void cleanup();
};
