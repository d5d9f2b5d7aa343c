#pragma once

// Shared by the fuzz targets and the test that replays their seeds.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace zorvel::fuzz {

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The program's files are UTF-16 LE; a mutator works best on bytes it can
// read. The first byte chooses: odd, the rest is UTF-16 LE; even, UTF-8.
inline QString textOf(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const QByteArray rest = bytesOf(data + 1, size - 1);
    if (data[0] & 1)
        return QString(reinterpret_cast<const QChar *>(rest.constData()), rest.size() / 2);
    return QString::fromUtf8(rest);
}

// A broken promise of the code under test: stop like a crash, so the fuzzer
// keeps the input.
inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace zorvel::fuzz

// Each target's body is a function the test can call; the libFuzzer entry
// point is left out when the test compiles it.
#ifdef ZORVEL_FUZZ_NO_MAIN
#define ZORVEL_FUZZ_ENTRY(function)
#else
#define ZORVEL_FUZZ_ENTRY(function)                                                               \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                        \
    {                                                                                              \
        return function(data, size);                                                               \
    }
#endif
