#include <memory>

#include "cli/CliCommands.h"
#include "cli/CliUsage.h"
#include "expr/FunctionListFile.h"
#include "expr/clsError.h"
#include "io/NumberText.h"
#include "platform/Desktop.h"
#include "cli/StreamPrompt.h"
#include "scene/clsScene.h"

namespace ov::cli {

int RunEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::unique_ptr<FunctionList>> lists;
    std::unique_ptr<clsScene> project;
    std::string name = "Expr";
    std::vector<std::string> expressions;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--functions" || a == "--name" || a == "--project") && i + 1 >= args.size()) {
            err << a << " needs a value\n" << kEvalUsage;
            return 2;
        }
        if (a == "--functions") {
            auto list = std::make_unique<FunctionList>();
            std::string message;
            if (!ReadFunctionListFile(args[++i], *list, message)) {
                err << message << '\n';
                return 2;
            }
            lists.push_back(std::move(list));
        } else if (a == "--project") {
            // The project's functions are searched before those of the function files.
            project = std::make_unique<clsScene>();
            StreamPrompt prompt(err);
            ScopedPrompt installed(prompt);
            if (!project->LoadScene(args[++i], false)) return 2;
        } else if (a == "--name") {
            name = args[++i];
            if (!clsFncDef::IsValidName(name)) {
                err << "Invalid function name '" << name << "'\n";
                return 2;
            }
        } else if (a == "--") {
            expressions.insert(expressions.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else {
            expressions.push_back(a);
        }
    }
    if (expressions.empty()) {
        err << kEvalUsage;
        return 2;
    }

    FunctionListContext context;
    context.SetAbortCheck([] { return CheckAbort(false); });
    if (project) context.AddList(&project->Functions);
    for (auto& list : lists) context.AddList(list.get());
    int status = 0;
    for (const std::string& expression : expressions) {
        clsFncDef def;
        def.Name = name;
        def.Body = expression;
        clsError error;
        double value = 0;
        if (def.Evaluate(context, {}, true, true, error, value)) {
            out << GeneralNumberText(value) << '\n';
        } else {
            out << "error: " << error.GetError() << '\n';
            status = 1;
        }
    }
    return status;
}

} // namespace ov::cli
