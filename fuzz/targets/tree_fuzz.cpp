// A book tree file: parsed, then walked as the exports walk it.
#include "fuzz_input.h"

#include "core/book/buildlayout.h"

namespace {

int depthOf(const QList<zorvel::TocNode> &nodes, int pages, int level)
{
    int deepest = level;
    for (const zorvel::TocNode &n : nodes) {
        if (n.isMainTitle()) {
            zorvel::fuzz::check(level < zorvel::kMaxTreeDepth);
            deepest = std::max(deepest, depthOf(n.children, pages, level + 1));
        } else {
            zorvel::fuzz::check(n.page >= 0 && n.page < pages && n.children.isEmpty());
        }
    }
    return deepest;
}

} // namespace

int fuzzTree(const uint8_t *data, size_t size)
{
    QStringList files;
    bool tooDeep = false;
    const QList<zorvel::TocNode> toc = zorvel::parseTree(zorvel::fuzz::textOf(data, size), &files, &tooDeep);
    if (tooDeep)
        zorvel::fuzz::check(toc.isEmpty() && files.isEmpty());
    depthOf(toc, int(files.size()), 0);
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzTree)
