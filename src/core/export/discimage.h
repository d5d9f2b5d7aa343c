#pragma once

#include <QString>

namespace zorvel {

// The disc image of an export: "Export n.iso" beside the "Export n" folder,
// ISO 9660 with Joliet (Windows' long Unicode names) and Rock Ridge (POSIX
// names and modes, so setup keeps its run bit), written as "Export n.iso.part"
// and renamed when whole.

// The image's path for an export folder.
QString discImagePath(const QString &exportFolder);

// The CD Name of the export's cd.inf (the line after "[ CD Name ]"); empty
// when there is none.
QString cdNameOf(const QString &exportFolder);

// The volume names the image gets for a CD name: ISO 9660's own (upper-case
// Latin letters, digits and "_", every other character "_", at most 32) and
// Joliet's (the name itself, at most 16 UTF-16 units). A name with no Latin
// letter or digit at all becomes "CD" in ISO 9660, which readers show when
// they do not know Joliet.
QString isoVolumeId(const QString &cdName);
QString jolietVolumeId(const QString &cdName);

struct DiscImageResult {
    QString imagePath; // the finished image; empty after a failure
    QString problem; // what failed, naming the file
    bool ok() const { return problem.isEmpty(); }
};

// Writes `folder` (its content at the root of the image) to `imagePath`.
// A failure (a full disk, an unreadable file) leaves no image and no part
// file; an earlier image at `imagePath` is replaced only by a whole one.
DiscImageResult writeDiscImage(
    const QString &folder, const QString &imagePath, const QString &volumeName);

// What the operator is told: where the image is, or (in Persian, like the
// export's messages) that it could not be written and why.
QString discImageDoneText(const DiscImageResult &result);
QString discImageFailedText(const DiscImageResult &result);

} // namespace zorvel
