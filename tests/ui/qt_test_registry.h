// QtTest classes register themselves here; qt_test_main.cpp runs them all.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

namespace corvane::test {

inline std::vector<std::function<QObject*()>>& QtTests() {
    static std::vector<std::function<QObject*()>> tests;
    return tests;
}

template <typename T>
struct RegisterQtTest {
    RegisterQtTest() {
        QtTests().push_back([] { return new T; });
    }
};

}  // namespace corvane::test
