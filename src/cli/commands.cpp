#include "cli/commands.h"

#include "cli/maintenance_commands.h"
#include "cli/search_commands.h"
#include "cli/session.h"
#include "store/engine.h"
#include "store/write_access.h"

namespace lexivo::cli {

int RunCommand(const Invocation& invocation) {
    Session session;
    try {
        return invocation.command == Command::Search ? RunSearchCommand(session, invocation)
                                                     : RunMaintenanceCommand(session, invocation);
    } catch (const DesignAccessCancelled&) {
        // Reported with the question that was answered Cancel.
    } catch (const Error& e) {
        session.run.endRun();
        session.fail(FailureReason(e));
    }
    return kFailure;
}

}  // namespace lexivo::cli
