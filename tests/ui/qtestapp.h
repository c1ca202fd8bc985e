#pragma once

// The one QApplication of a GUI test program: made before the first test, removed
// after the last, with a temporary home. Include this header in the test file; nothing
// else is needed.

#include "testhome.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace korvala::test {

class QtEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "korvala-test";
        static char *argv[] = {name, nullptr};
        if (!QApplication::instance()) {
            UseTemporaryHome();
            m_app = new QApplication(argc, argv);
        }
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication *m_app = nullptr;
};

inline ::testing::Environment *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace korvala::test
