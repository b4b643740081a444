#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise of a reader is a crash to the fuzzer, so it keeps the
// input that caused it.
inline void fuzzCheck(bool ok, const char *promise, const QString &detail = QString())
{
    if (ok)
        return;
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.toUtf8().constData());
    std::abort();
}

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}
