#pragma once

#include "check/programcheck.h"
#include "compiler/compiler.h"

#include <vector>

namespace talvex {

class StationLink;

/// How far an upload went, for the status bar.
struct UploadOutcome
{
    bool downloaded = false;
    bool stored = false;
    bool started = false;
};

/// "上傳": ask first when the program has problems the controller would reject, connect
/// if need be, compile the table, write the listing, check the line
/// once more, download, offer to store and to start the program, close the line. The
/// compiled program and the loop counts stay between uploads.
class UploadJob
{
public:
    explicit UploadJob(StationLink &station) : m_station(station) {}

    UploadOutcome run(const ProgramTable &table, int lastRow, const CompileOptions &options, const QString &comPort);

    /// Where the listing is written (tests choose their own folders).
    void setListingPlaces(const ListingPlaces &places) { m_listing = places; }

    const CompiledProgram &program() const { return m_program; }
    CompiledProgram &program() { return m_program; }

    static QString storeQuestion();
    static QString runQuestion();
    /// The status bar's sentence after an upload: whether the program went down, was
    /// stored and was started.
    static QString outcomeMessage(const UploadOutcome &outcome);
    /// The question put before an upload of a program with @p problems (at least one).
    static QString problemsQuestion(const std::vector<ProgramProblem> &problems);

private:
    void writeListingFile();

    StationLink &m_station;
    CompiledProgram m_program;
    ListingPlaces m_listing = listingPlaces();
    /// The operator has been told that the listing goes to the other place.
    bool m_fallbackTold = false;
};

} // namespace talvex
