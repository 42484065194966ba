#pragma once

// Waiting for what the event loop brings about, as a test failure when it
// never comes. QtTest's own QTRY_ macros report to QtTest, which these
// tests do not run under: a condition that never held went unnoticed.
#include <QTest>

#include <gtest/gtest.h>

// Pumps events for up to five seconds until cond holds.
#define EXPECT_EVENTUALLY(cond) EXPECT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << "never came true: " #cond

// The same for two values that are to become equal; the failure shows both.
#define EXPECT_EVENTUALLY_EQ(actual, expected)                                                   \
    do {                                                                                         \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000);                     \
        EXPECT_EQ(actual, expected);                                                             \
    } while (0)
