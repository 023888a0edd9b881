// Runs every QtTest class of the suite in one process (Qt WebEngine starts
// once per process).
#include <QApplication>
#include <QTest>
#include <memory>

#include "tests/ui/qt_test_registry.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : corvane::test::QtTests()) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
