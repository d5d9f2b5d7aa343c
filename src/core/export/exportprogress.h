#pragma once

namespace zorvel {

// What a long export reports as it goes: the files it copies, the pages and
// the books' data it writes. The window shows it and may stop the export.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void begin(int total) = 0;
    // One more file done; false when the operator asked to stop.
    virtual bool step() = 0;
};

// Thrown out of an export step when the operator stopped it.
struct ExportCancelled { };

// Counts one step; throws ExportCancelled when the operator stopped.
inline void exportStep(ExportProgress *progress)
{
    if (progress && !progress->step())
        throw ExportCancelled {};
}

} // namespace zorvel
