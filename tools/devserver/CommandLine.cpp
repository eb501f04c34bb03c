#include "CommandLine.h"

#include <stdexcept>
#include <string>

namespace ovira::devserver {
namespace {

constexpr const char* kUsageHead = R"(Usage: ekyc-devserver [options]

The development eKYC service: HTTPS on 127.0.0.1 with the endpoints of the
production service under /v1/ekyc. Uploaded photos are judged for real
(document shape, width in pixels, how much of the photo the card fills,
sharpness and light; one face of a fair size).

Options:
  --port N          Port to listen on; 0 (the default) picks a free one.
  --data-dir DIR    Where the CA, the server certificate and submissions.jsonl
                    live. Default: $XDG_DATA_HOME/ekyc-devserver, else
                    ~/.local/share/ekyc-devserver. Made on first start and
                    reused later, so the CA needs trusting only once.
  --app-id ID       Accept requests with this appID header only; repeat for
                    several. Without it any appID is accepted.
  --fault FAULT     Misbehave on an endpoint; repeatable. FAULT is
                    PATH:EFFECT[,EFFECT...] where PATH is an endpoint after
                    /v1/ekyc (e.g. /getInfo) or * for all, and EFFECT is one of
                      delay=MS        answer after MS milliseconds
                      trickle=MS      send the body one byte per MS milliseconds
                      status=HTTP     answer with this HTTP status
                      code=N          answer HTTP 200 with envelope statusCode N
                      message=TEXT    the envelope message (must come last)
                      malformed       a body that is not valid JSON
                      truncated       a body shorter than its Content-Length
                      reset           drop the connection without answering
                      oversized       a valid JSON body of 20 MiB
                      invalid-utf8    a string holding bytes that are not UTF-8
                      wrong-types     numbers, strings and booleans swapped in data
                      redirect=URL    answer 307 Temporary Redirect to URL
                      count=N         only for the next N requests
                    e.g. --fault "/getInfo:status=500" --fault "/nationId:delay=2000"
  --identity FIELD=VALUE
                    What getInfo reads from every document instead of the
                    sample holder's data; repeatable. FIELD is one of
                    documentNumber fullName dateOfBirth gender nationality
                    placeOfOrigin placeOfResidence dateOfIssue dateOfExpiry
                    issuingCountry previousIdNumber licenceClass
                    yearOfPassing passportType placeOfBirth personalNumber;
                    the value must pass the field's own check (dd/MM/yyyy
                    dates, digits, "Nam"/"Nữ", a listed country).
  --keep-alive S    Seconds an idle connection stays open (default 5).
  --min-card-width N
                    Refuse document photos narrower than N pixels as having
                    too few pixels to read the card (default )";

constexpr const char* kUsageTail = R"(; a card at
                    300 dots per inch is 1011 pixels wide). The card must
                    also span 80% of the photo's width when its outline shows.
  -h, --help        Show this text.

While it runs, on the same address:
  POST   /__control/faults       set faults: {"path":"/getInfo","status":500} or
                                 an array; members path, delay, trickle, status, code,
                                 message, malformed, truncated, reset, oversized,
                                 invalidUtf8, wrongTypes, redirect, count
  GET    /__control/faults       the faults in force
  DELETE /__control/faults       clear them
  GET    /__control/requests     the recent requests (headers, parts, bodies)
  DELETE /__control/requests     clear that log
  GET    /__control/submissions  the latest 1000 accepted submitInfo calls

It prints "CA certificate: <path>" and "Listening on https://127.0.0.1:<port>";
try: curl --cacert <path> -H 'transactionId: t1' <address>/v1/ekyc/listCountry
Ctrl-C or SIGTERM stops it.
)";

int parseNumber(const std::string& option, const std::string& value, int low, int high) {
    try {
        std::size_t used = 0;
        const int number = std::stoi(value, &used);
        if (used == value.size() && number >= low && number <= high) return number;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument(option + " takes a number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not \"" + value + "\"");
}

}  // namespace

std::string commandLineUsage() {
    return kUsageHead + std::to_string(PhotoJudge::Thresholds{}.minCardWidth) + kUsageTail;
}

DevServer::Options parseCommandLine(const std::vector<std::string>& arguments, bool& help) {
    DevServer::Options options;
    const std::size_t count = arguments.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::string option = arguments[i];
        std::string value;
        bool inlineValue = false;
        if (const auto equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
            inlineValue = true;
        }
        const auto takeValue = [&] {
            if (inlineValue) return value;
            if (i + 1 >= count) throw std::invalid_argument(option + " needs a value");
            return arguments[++i];
        };
        if (option == "-h" || option == "--help")
            help = true;
        else if (option == "--port")
            options.port = parseNumber(option, takeValue(), 0, 65535);
        else if (option == "--data-dir")
            options.dataDir = takeValue();
        else if (option == "--app-id")
            options.appIDs.push_back(takeValue());
        else if (option == "--fault")
            options.faults.push_back(Fault::parse(takeValue()));
        else if (option == "--identity") {
            const auto assignment = takeValue();
            const auto equals = assignment.find('=');
            if (equals == std::string::npos || equals == 0)
                throw std::invalid_argument("--identity takes FIELD=VALUE, not \"" + assignment + "\"");
            options.identityValues[assignment.substr(0, equals)] = assignment.substr(equals + 1);
        } else if (option == "--keep-alive")
            options.keepAliveSeconds = parseNumber(option, takeValue(), 1, 3600);
        else if (option == "--min-card-width")
            options.minCardWidth = parseNumber(option, takeValue(), 1, 20000);
        else
            throw std::invalid_argument("unknown option " + option);
    }
    return options;
}

}  // namespace ovira::devserver
