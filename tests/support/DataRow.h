#pragma once

#include <QTest>

// A row of a data-driven test, its values in column order, as
// QTest::newRow(name) << values... adds it; as one call it stays on one line.
template <typename... Values> void dataRow(const char* name, const Values&... values)
{
    (QTest::newRow(name) << ... << values);
}
