#include "tests/support/sim_run.h"

#include "tests/support/run_tool.h"
#include "world/run_report.h"

#include <fstream>
#include <sstream>

SimRun RunSimulated(const std::filesystem::path& folder, const std::string& script,
                    const std::vector<std::string>& arguments)
{
    TempFolder reportFolder;
    std::filesystem::path reportFile = reportFolder.path() / "report.txt";
    ToolOutput output = RunTool(TAMBRELL_UPDATE_SIM_EXE, folder,
                                {"TAMBRELL_SIM=" + script, "TAMBRELL_SIM_REPORT=" + reportFile.string()}, arguments);
    SimRun run;
    run.console = output.console;
    run.exitStatus = output.exitStatus;
    std::ifstream in(reportFile, std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        run.report = ParseReport(text.str());
        run.reported = true;
    }
    return run;
}

SimRun RunSimulated(const TempFolder& folder, const std::string& script)
{
    return RunSimulated(folder.path(), script);
}
