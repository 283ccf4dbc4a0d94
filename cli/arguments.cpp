#include "cli/arguments.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

namespace tidemark::cli {
namespace {

[[noreturn]] void Fail(std::string message) {
    throw UsageError{std::move(message)};
}

std::string Quoted(std::string_view text) {
    // Appended, not "'" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
    return std::string("'").append(text).append("'");
}

// A whole decimal number, optional sign, nothing else.
std::int32_t ParseNumber(std::string_view option, std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) {
        Fail(std::string(option) + ": not a whole number: " + Quoted(text));
    }
    return value;
}

// A number checked with the number page's own check; its message becomes the usage error.
std::uint16_t CheckedNumber(std::string_view option, std::string_view text,
                            std::optional<std::string> (*check)(long)) {
    const std::int32_t value = ParseNumber(option, text);
    if (const auto message = check(value)) {
        Fail(std::string(option) + " " + std::string(text) + ": " + *message);
    }
    return static_cast<std::uint16_t>(value);
}

template <typename Value>
Value Choice(std::string_view option, std::string_view text,
             std::initializer_list<std::pair<std::string_view, Value>> choices) {
    for (const auto& [name, value] : choices) {
        if (text == name) {
            return value;
        }
    }
    std::string allowed;
    for (const auto& [name, value] : choices) {
        allowed += allowed.empty() ? "" : "|";
        allowed += name;
    }
    Fail(std::string(option) + ": " + Quoted(text) + " is not one of " + allowed);
}

bool TakesFolderPage(Command command) {
    return command == Command::Preview || command == Command::Rename;
}

// Which option families a command accepts.
struct Accepts {
    bool sort = false;  // --sort, --desc
    bool page = false;  // page, rules, numbering, --order, selection
    bool json = false;
    bool null = false;  // -0, --null
    bool log = false;
    bool moveOnLength = false;
    bool undo = false;
};

Accepts AcceptsOf(Command command) {
    switch (command) {
        case Command::List:
            return {.sort = true, .null = true};
        case Command::Preview:
            return {.sort = true, .page = true, .json = true, .null = true};
        case Command::Rename:
            return {.sort = true, .page = true, .log = true};
        case Command::MoveOnLength:
            return {.moveOnLength = true};
        case Command::Merge:
            return {};
        case Command::History:
            return {.json = true};
        case Command::Undo:
            return {.json = true, .undo = true};
    }
    return {};
}

std::size_t FolderCount(Command command) {
    switch (command) {
        case Command::MoveOnLength:
            return 2;
        case Command::Merge:
            return 3;
        case Command::History:
        case Command::Undo:
            return 0;
        default:
            return 1;
    }
}

std::string_view FolderWord(Command command, std::size_t position) {
    static constexpr std::string_view kMerge[] = {"SOURCE", "DEST", "ALTERNATE"};
    if (FolderCount(command) == 1) {
        return "FOLDER";
    }
    return kMerge[std::min<std::size_t>(position, 2)];
}

// The options of the rename window's setup: page, rules, numbering, custom order, selection.
bool IsPageOption(std::string_view option);

class Parser {
  public:
    Parser(Command command, const std::vector<std::string_view>& args)
        : args_(args), accepts_(AcceptsOf(command)) {
        invocation_.command = command;
    }

    Invocation Run() {
        bool optionsEnded = false;
        for (next_ = 1; next_ < args_.size();) {
            const std::string_view word = args_[next_++];
            if (!optionsEnded && word == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && word.size() > 1 && word.front() == '-') {
                Option(word);
            } else {
                Folder(word);
            }
        }
        Finish();
        return std::move(invocation_);
    }

  private:
    void Folder(std::string_view word) {
        const Command command = invocation_.command;
        if (command == Command::Undo && invocation_.batch == 0) {
            invocation_.batch = ParseNumber("undo N", word);
            if (invocation_.batch < 1) {
                Fail("undo N: the number of a batch in the history (1 is the newest): " +
                     Quoted(word));
            }
            return;
        }
        if (invocation_.folders.size() == FolderCount(command)) {
            Fail("unexpected argument " + Quoted(word) + " (" + std::string(CommandName(command)) +
                 " takes " + std::to_string(FolderCount(command)) + " folder" +
                 (FolderCount(command) == 1 ? "" : "s") + ")");
        }
        invocation_.folders.emplace_back(word);
    }

    std::string_view Value(std::string_view option) {
        if (inlineValue_) {
            return *inlineValue_;
        }
        if (next_ >= args_.size()) {
            Fail(std::string(option) + ": a value is missing");
        }
        return args_[next_++];
    }

    void Refuse(std::string_view option) {
        Fail(std::string(option) + ": not an option of " +
             std::string(CommandName(invocation_.command)));
    }

    // Notes the first option of the rule and numbering families, to check them against the
    // page at the end.
    void RuleOption(std::string_view option) {
        if (firstRuleOption_.empty()) {
            firstRuleOption_ = option;
        }
    }
    void NumberOption(std::string_view option) {
        if (firstNumberOption_.empty()) {
            firstNumberOption_ = option;
        }
    }

    void Position(std::string_view option, std::uint16_t mode) {
        if (!positionOption_.empty()) {
            Fail(std::string(option) + ": " + positionOption_ +
                 " was given already (one of --position, --before, --after, --pattern)");
        }
        positionOption_ = option;
        NumberOption(option);
        invocation_.setup.numbering.PosMode = mode;
    }

    void Option(std::string_view word) {
        std::string_view option = word;
        inlineValue_.reset();
        if (const auto equals = word.find('='); equals != std::string_view::npos) {
            option = word.substr(0, equals);
            inlineValue_ = word.substr(equals + 1);
        }
        bool tookValue = false;
        if (option == "--sort" || option == "--desc") {
            tookValue = SortOption(option);
        } else if (IsPageOption(option)) {
            tookValue = PageOption(option);
        } else {
            tookValue = OtherOption(option);
        }
        if (!tookValue && inlineValue_) {
            Fail(std::string(option) + ": takes no value");
        }
    }

    // Each of the three returns whether the option took a value.
    bool SortOption(std::string_view option) {
        if (!accepts_.sort) {
            Refuse(option);
        }
        RenameSetup& setup = invocation_.setup;
        if (option == "--desc") {
            setup.descending = true;
            return false;
        }
        setup.sortKey = Choice<int>(option, Value(option),
                                    {{"name", catalogue::kKeyName},
                                     {"ext", catalogue::kKeyExt},
                                     {"size", catalogue::kKeySize},
                                     {"created", catalogue::kKeyCreated},
                                     {"modified", catalogue::kKeyModified},
                                     {"attrib", catalogue::kKeyAttrib},
                                     {"type", catalogue::kKeyType}});
        return true;
    }

    bool PageOption(std::string_view option);

    bool OtherOption(std::string_view option) {
        if (option == "--json" && accepts_.json) {
            invocation_.json = true;
            return false;
        }
        if ((option == "--null" || option == "-0") && accepts_.null) {
            invocation_.null = true;
            return false;
        }
        if (option == "--log" && accepts_.log) {
            invocation_.log = true;
            return false;
        }
        if (option == "--preview" && accepts_.moveOnLength) {
            invocation_.previewOnly = true;
            return false;
        }
        if (option == "--dry-run" && accepts_.undo) {
            invocation_.dryRun = true;
            return false;
        }
        if (option == "--length" && accepts_.moveOnLength) {
            invocation_.lengthText = Value(option);
            hasLength_ = true;
            return true;
        }
        if (option == "--json" || option == "--null" || option == "-0" || option == "--log" ||
            option == "--preview" || option == "--length" || option == "--dry-run") {
            Refuse(option);
        }
        Fail("unknown option " + Quoted(option));
    }

    void Finish() {
        const Command command = invocation_.command;
        if (invocation_.folders.size() < FolderCount(command)) {
            Fail(std::string(CommandName(command)) + ": " +
                 std::string(FolderWord(command, invocation_.folders.size())) + " is missing");
        }
        if (command == Command::MoveOnLength && !hasLength_) {
            Fail("move-on-length: --length is missing");
        }
        if (invocation_.json && invocation_.null) {
            Fail("--null: not together with --json");
        }
        const RenameSetup& setup = invocation_.setup;
        const bool numberPage = setup.tabIndex == rename::kTabNumber;
        if (numberPage && !firstRuleOption_.empty()) {
            Fail(firstRuleOption_ + ": not an option of the number page");
        }
        if (!numberPage && !firstNumberOption_.empty()) {
            Fail(firstNumberOption_ + ": an option of the number page only (--page number)");
        }
        if (!TakesFolderPage(command)) {
            return;
        }
        if (replaceGiven_ != withGiven_) {
            Fail(replaceGiven_ ? "--replace: --with NEW is missing"
                               : "--with: --replace OLD is missing");
        }
        if (insertGiven_ != atGiven_) {
            Fail(insertGiven_ ? "--insert: --at POS is missing" : "--at: --insert TEXT is missing");
        }
    }

    const std::vector<std::string_view>& args_;
    Accepts accepts_;
    Invocation invocation_;
    std::size_t next_ = 1;
    std::optional<std::string_view> inlineValue_;
    bool hasLength_ = false;
    bool replaceGiven_ = false;
    bool withGiven_ = false;
    bool insertGiven_ = false;
    bool atGiven_ = false;
    std::string firstRuleOption_;
    std::string firstNumberOption_;
    std::string positionOption_;
};

bool IsPageOption(std::string_view option) {
    static constexpr std::string_view kPageOptions[] = {
        "--page",   "--delete",       "--left-crop", "--right-crop", "--change",  "--replace",
        "--with",   "--match-case",   "--insert",    "--at",         "--prepend", "--append",
        "--case",   "--start",        "--incr",      "--width",      "--base",    "--position",
        "--before", "--after",        "--pattern",   "--output",     "--dest",    "--order",
        "--select", "--selected-only"};
    return std::find(std::begin(kPageOptions), std::end(kPageOptions), option) !=
           std::end(kPageOptions);
}

bool Parser::PageOption(std::string_view option) {
    if (!accepts_.page) {
        Refuse(option);
    }
    RenameSetup& setup = invocation_.setup;
    rename::RenameOptions& rules = setup.rules;
    rename::NumberOptions& numbering = setup.numbering;

    if (option == "--page") {
        setup.tabIndex = Choice<int>(option, Value(option),
                                     {{"files", rename::kTabFiles},
                                      {"ext", rename::kTabExtensions},
                                      {"folders", rename::kTabFolders},
                                      {"number", rename::kTabNumber}});
        return true;
    }
    if (option == "--selected-only") {
        rules.SelOnly = true;
        numbering.SelOnly = true;
        return false;
    }
    if (option == "--order" || option == "--select") {
        const std::string_view name = Value(option);
        std::vector<std::string>& names = option == "--order" ? setup.customOrder : setup.selection;
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            Fail(std::string(option) + ": " + Quoted(name) + " is given twice");
        }
        names.emplace_back(name);
        setup.hasCustomOrder = setup.hasCustomOrder || option == "--order";
        return true;
    }

    // The rename pages' rules: each rule option switches its rule on.
    if (option == "--delete") {
        RuleOption(option);
        const std::string_view value = Value(option);
        const auto comma = value.find(',');
        if (comma == std::string_view::npos) {
            Fail("--delete: POS,COUNT expected, got " + Quoted(value));
        }
        rules.DoDelete = true;
        rules.DelPos = ParseNumber(option, value.substr(0, comma));
        rules.DelNum = ParseNumber(option, value.substr(comma + 1));
        return true;
    }
    if (option == "--left-crop" || option == "--right-crop") {
        RuleOption(option);
        const std::int32_t count = ParseNumber(option, Value(option));
        if (option == "--left-crop") {
            rules.DoLCrop = true;
            rules.LCrop = count;
        } else {
            rules.DoRCrop = true;
            rules.RCrop = count;
        }
        return true;
    }
    if (option == "--change") {
        RuleOption(option);
        rules.DoChgName = true;
        rules.ChgName = Value(option);
        return true;
    }
    if (option == "--replace") {
        RuleOption(option);
        rules.DoReplace = true;
        rules.RepOrig = Value(option);
        replaceGiven_ = true;
        return true;
    }
    if (option == "--with") {
        RuleOption(option);
        rules.RepNew = Value(option);
        withGiven_ = true;
        return true;
    }
    if (option == "--match-case") {
        RuleOption(option);
        rules.MatchCase = true;
        return false;
    }
    if (option == "--insert") {
        RuleOption(option);
        rules.DoInsert = true;
        rules.Insert = Value(option);
        insertGiven_ = true;
        return true;
    }
    if (option == "--at") {
        RuleOption(option);
        rules.InsPos = ParseNumber(option, Value(option));
        atGiven_ = true;
        return true;
    }
    if (option == "--prepend") {
        RuleOption(option);
        rules.DoPrepend = true;
        rules.Prepend = Value(option);
        return true;
    }
    if (option == "--append") {
        RuleOption(option);
        rules.DoAppend = true;
        rules.Append = Value(option);
        return true;
    }
    if (option == "--case") {
        RuleOption(option);
        rules.CaseMode = Choice<std::int32_t>(option, Value(option),
                                              {{"none", rename::kCaseNone},
                                               {"lower", rename::kCaseLower},
                                               {"upper", rename::kCaseUpper},
                                               {"caps", rename::kCaseCapsAndLower},
                                               {"initial", rename::kCaseInitialCapital}});
        return true;
    }

    // The number page.
    NumberOption(option);
    if (option == "--start") {
        numbering.Start = CheckedNumber(option, Value(option), rename::CheckStartNumber);
    } else if (option == "--incr") {
        numbering.Incr = CheckedNumber(option, Value(option), rename::CheckIncrement);
    } else if (option == "--width") {
        numbering.Width = CheckedNumber(option, Value(option), rename::CheckNumberWidth);
    } else if (option == "--base") {
        numbering.Base = Choice<std::uint16_t>(option, Value(option),
                                               {{"dec", rename::kBaseDecimal},
                                                {"bin", rename::kBaseBinary},
                                                {"oct", rename::kBaseOctal},
                                                {"hex", rename::kBaseHex},
                                                {"alpha", rename::kBaseAlpha},
                                                {"alnum", rename::kBaseAlphaNumeric}});
    } else if (option == "--position") {
        const std::int32_t position = ParseNumber(option, Value(option));
        Position(option, rename::kPosAt);
        numbering.Pos = position;
    } else if (option == "--before") {
        Position(option, rename::kPosBefore);
        numbering.Pos = 0;
        return false;
    } else if (option == "--after") {
        Position(option, rename::kPosAfter);
        numbering.Pos = -1;
        return false;
    } else if (option == "--pattern") {
        const std::string_view pattern = Value(option);
        Position(option, rename::kPosPattern);
        // The page's pattern analysis: a later --width wins over the width it sets.
        rename::Numbering analysis;
        analysis.Options() = numbering;
        analysis.SetPattern(pattern);
        numbering = analysis.Options();
    } else if (option == "--output") {
        numbering.Output = Choice<std::uint16_t>(option, Value(option),
                                                 {{"rename", rename::kOutputRename},
                                                  {"move", rename::kOutputMove},
                                                  {"copy", rename::kOutputCopy}});
    } else if (option == "--dest") {
        numbering.DestDir = Value(option);
    }
    return true;
}

}  // namespace

std::string_view CommandName(Command command) {
    switch (command) {
        case Command::List:
            return "list";
        case Command::Preview:
            return "preview";
        case Command::Rename:
            return "rename";
        case Command::MoveOnLength:
            return "move-on-length";
        case Command::Merge:
            return "merge";
        case Command::History:
            return "history";
        case Command::Undo:
            return "undo";
    }
    return "";
}

Invocation ParseCommandLine(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        Fail(
            "a command is missing (list, preview, rename, move-on-length, merge, history, undo; "
            "--help)");
    }
    if (args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        Invocation overview;
        overview.help = true;
        overview.overview = true;
        return overview;
    }
    std::optional<Command> command;
    for (const Command c : {Command::List, Command::Preview, Command::Rename, Command::MoveOnLength,
                            Command::Merge, Command::History, Command::Undo}) {
        if (args.front() == CommandName(c)) {
            command = c;
        }
    }
    if (!command) {
        Fail("unknown command " + Quoted(args.front()) +
             " (list, preview, rename, move-on-length, merge, history, undo)");
    }
    // Help wins over everything else on the line, so that a half-written command can ask.
    for (std::size_t i = 1; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            Invocation help;
            help.command = *command;
            help.help = true;
            return help;
        }
    }
    return Parser(*command, args).Run();
}

}  // namespace tidemark::cli
