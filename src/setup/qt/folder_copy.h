#pragma once

#include <QString>

namespace setup {

// Copies the files and subfolders of `source` into `target`, which is created
// with any missing parents; files already there are replaced. Each file is
// replaced whole and checked (every write, the flush, its size against the
// source's), so one that fails to copy keeps its earlier content (one found
// short only after it replaced the earlier file is removed). The
// copies are writable by their owner even when the originals (on a CD) are
// not, so a later installation can replace them. Throws FileError at the
// first failure.
void copyFolder(const QString &source, const QString &target);

// One file, replacing `target`.
void copyFile(const QString &source, const QString &target);

// True when `inner` is `outer` or lies somewhere inside it.
bool isSameOrInside(const QString &inner, const QString &outer);

} // namespace setup
