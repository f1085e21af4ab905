#include "EnvFixture.h"
#include <QTest>

void EnvFixture::init() {
    env = std::make_unique<TestEnv>();
    setUp();
}

void EnvFixture::cleanup() {
    tearDown();
    const QStringList unexpected = env ? env->prompter.unexpected() : QStringList();
    env.reset(); // also when the check below fails: the next case starts from nothing
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
}
