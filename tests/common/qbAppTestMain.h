#pragma once
// A test program on the program's own application object, so that errors reaching the event
// loop meet the same guard as in the program.

#include "app/qbApplication.h"

#include <QTest>

#define QB_APP_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char* argv[]) {                                                          \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                            \
        TqbApplication app(argc, argv);                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                \
        TestObject test;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        return QTest::qExec(&test, argc, argv);                                                 \
    }
