// Memory of the stages before a search, on one problem file: the heap in
// use by the parsed document, by the analysed problem (document destroyed)
// and by the search space with the solution records, and the peak resident
// size of the process. One problem per process, so that the peak is its own:
//
//     memory_bench PROBLEM.xml
//
// prints one line of figures (sizes, then KiB) for bench/peak_memory.sh.
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/files.h"
#include "base/run_settings.h"
#include "problem/analyser.h"
#include "problem/solution_record.h"
#include "search/search_driver.h"
#include "space/search_space.h"
#include "xml/xml_tree.h"

namespace {

// A field of /proc/self/status in KiB: VmRSS (now) or VmHWM (peak).
long statusKiB(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long value = -1;
    std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            std::sscanf(line + length + 1, "%ld", &value);
    std::fclose(status);
    return value;
}

// Heap in use, KiB: the resident size says little here, as freed memory
// stays with the process.
long heapKiB() {
    struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROBLEM.xml\n", argv[0]);
        return 1;
    }
    runSettings.verbosity = 0;
    long start = heapKiB();

    XML::Elements document;
    FILE* stream = openFile(argv[1], "r");
    XML::parseDocument(stream, document);
    closeFile(stream);
    long parsed = heapKiB();

    ProblemData problem;
    analyseProblem(problem, document);
    XML::destroyDocument(document);
    long analysed = heapKiB();

    SolutionRecords records;
    allocateRecords(records, problem);
    long built = 0;
    {
        SearchSpace space(problem, records, searchSeed);
        built = heapKiB();
    }

    std::printf("activities %zu resources %zu groups %zu internal-slots %d "
                "document %ld problem %ld space %ld peak-rss %ld\n",
                problem.activities.size(), problem.resources.size(), problem.groups.size(),
                problem.nbSlots, parsed - start, analysed - start, built - analysed,
                statusKiB("VmHWM"));
    return 0;
}
