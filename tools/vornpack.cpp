// vornpack: builds, verifies, lists and extracts the installer's payload.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "tools/commands.h"

using namespace vornpack;

namespace {

const char USAGE[] =
    "usage: vornpack build PRODUCT_DIR -o PAYLOAD [--header FILE] [--parse MODE] [-q]\n"
    "       vornpack verify FILE [--crc HEX] [--product DIR]\n"
    "       vornpack list FILE\n"
    "       vornpack extract FILE DIR [--force]\n"
    "       vornpack --help\n";

const char HELP[] =
    "\n"
    "Builds and inspects the payload that the Vorn installer carries: ten compressed\n"
    "files between \"ZOLT\" markers. FILE may be a payload or an installer that carries one.\n"
    "\n"
    "  build     encode the ten files of PRODUCT_DIR (vorn.exe vorn.hlp ircintro.hlp\n"
    "            readme.txt versions.txt vorn.ini aliases.ini popups.ini servers.ini\n"
    "            urls.ini) into PAYLOAD and print its CRC-32.\n"
    "            --header FILE  also write a C header defining PAYLOAD_CRC\n"
    "            --parse MODE   optimal (default), lazy or greedy\n"
    "            -q, --quiet    no progress on stderr\n"
    "  verify    check FILE as the installer will: find the payload, compute its CRC-32,\n"
    "            split it and decode all ten files.\n"
    "            --crc HEX      the CRC-32 it must have\n"
    "            --product DIR  the files it must decode to, byte for byte\n"
    "  list      show the files, their sizes and compression ratios\n"
    "  extract   decode the files into DIR (created if needed); existing files are\n"
    "            kept unless --force is given\n"
    "\n"
    "Exit codes: 0 success, 1 failure (the reason is printed), 2 usage error.\n";

int usageError(const std::string &message)
{
    fprintf(stderr, "vornpack: %s\n%s", message.c_str(), USAGE);
    return EXIT_USAGE;
}

// Arguments after the command: options with their values, and positionals.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
};

bool parseArguments(int argc, char **argv, const std::vector<std::string> &withValue,
                    const std::vector<std::string> &flags, Arguments &out, std::string &error)
{
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() > 1 && arg[0] == '-') {
            bool takesValue = false, known = false;
            for (const auto &name : withValue)
                known = takesValue = takesValue || name == arg;
            for (const auto &name : flags)
                known = known || name == arg;
            if (!known) {
                error = "unknown option " + arg;
                return false;
            }
            if (takesValue && i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out.options.emplace_back(arg, takesValue ? argv[++i] : "");
        } else {
            out.positional.push_back(arg);
        }
    }
    return true;
}

bool parseHex(const std::string &text, uint32_t &value)
{
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = uint32_t(strtoul(digits.c_str(), nullptr, 16));
    return true;
}

int commandBuild(int argc, char **argv)
{
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, {"-o", "--header", "--parse"}, {"-q", "--quiet"}, args, error))
        return usageError(error);
    BuildRequest request;
    for (const auto &[name, value] : args.options) {
        if (name == "-o")
            request.output = value;
        else if (name == "--header")
            request.header = value;
        else if (name == "-q" || name == "--quiet")
            request.quiet = true;
        else if (value == "optimal")
            request.options.mode = ParseMode::Optimal;
        else if (value == "lazy")
            request.options.mode = ParseMode::Lazy;
        else if (value == "greedy")
            request.options.mode = ParseMode::Greedy;
        else
            return usageError("unknown parse mode " + value);
    }
    if (args.positional.size() != 1)
        return usageError("build takes one PRODUCT_DIR");
    if (request.output.empty())
        return usageError("build needs -o PAYLOAD");
    request.productDir = args.positional[0];
    return runBuild(request);
}

int commandVerify(int argc, char **argv)
{
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, {"--crc", "--product"}, {}, args, error))
        return usageError(error);
    VerifyRequest request;
    for (const auto &[name, value] : args.options) {
        if (name == "--product") {
            request.productDir = value;
        } else {
            request.checkCrc = true;
            if (!parseHex(value, request.expectedCrc))
                return usageError("--crc needs a hexadecimal CRC-32, not " + value);
        }
    }
    if (args.positional.size() != 1)
        return usageError("verify takes one FILE");
    request.file = args.positional[0];
    return runVerify(request);
}

int commandList(int argc, char **argv)
{
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, {}, {}, args, error))
        return usageError(error);
    if (args.positional.size() != 1)
        return usageError("list takes one FILE");
    return runList(args.positional[0]);
}

int commandExtract(int argc, char **argv)
{
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, {}, {"-f", "--force"}, args, error))
        return usageError(error);
    if (args.positional.size() != 2)
        return usageError("extract takes FILE and DIR");
    return runExtract(args.positional[0], args.positional[1], !args.options.empty());
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usageError("no command given");
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        printf("%s%s", USAGE, HELP);
        return EXIT_OK;
    }
    if (command == "build")
        return commandBuild(argc, argv);
    if (command == "verify")
        return commandVerify(argc, argv);
    if (command == "list")
        return commandList(argc, argv);
    if (command == "extract")
        return commandExtract(argc, argv);
    return usageError("unknown command " + command);
}
