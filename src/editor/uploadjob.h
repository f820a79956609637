#pragma once

#include "compiler/compiler.h"

namespace talvex {

class StationLink;

/// "上傳": connect if need be, compile the table, write the listing, check the line
/// once more, download, offer to store and to start the program, close the line. The
/// compiled program and the loop counts stay between uploads.
class UploadJob
{
public:
    explicit UploadJob(StationLink &station) : m_station(station) {}

    void run(const ProgramTable &table, int lastRow, const CompileOptions &options, const QString &comPort);

    const CompiledProgram &program() const { return m_program; }
    CompiledProgram &program() { return m_program; }

    static QString storeQuestion();
    static QString runQuestion();

private:
    StationLink &m_station;
    CompiledProgram m_program;
};

} // namespace talvex
