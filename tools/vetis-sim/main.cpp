// SPDX-License-Identifier: LicenseRef-Kestrom
// vetis-sim: the VetIS.API test double as a program, for the demo mode and for
// trying the client by hand.
#include "VetisSim.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t g_quit = 0;

void onSignal(int)
{
    g_quit = 1;
}

void usage()
{
    std::cout << "usage: vetis-sim [--port N] [--https] [--cert FILE --key FILE] [--fixtures DIR]\n"
                 "                 [--user U] [--password P] [--apikey K] [--issuer GUID]\n"
                 "                 [--vsd-count N] [--streets N] [--prefixes usual|default|generated]\n"
                 "                 [--complete-after N]\n"
                 "Serves /platform/services/2.1/... on 127.0.0.1 until interrupted.\n";
}

} // namespace

int main(int argc, char** argv)
{
    vetissim::SimConfig config;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "missing value after " << arg << '\n';
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--port")
            config.port = std::atoi(value().c_str());
        else if (arg == "--https")
            config.https = true;
        else if (arg == "--cert")
            config.certFile = value();
        else if (arg == "--key")
            config.keyFile = value();
        else if (arg == "--fixtures")
            config.fixtures.fixturesDir = value();
        else if (arg == "--user")
            config.user = value();
        else if (arg == "--password")
            config.password = value();
        else if (arg == "--apikey")
            config.apiKey = value();
        else if (arg == "--issuer")
            config.issuerId = value();
        else if (arg == "--vsd-count")
            config.fixtures.vsdCount = std::atoi(value().c_str());
        else if (arg == "--streets")
            config.fixtures.bigLocalityStreets = std::atoi(value().c_str());
        else if (arg == "--complete-after")
            config.completeAfterReceives = std::atoi(value().c_str());
        else if (arg == "--prefixes") {
            const std::string style = value();
            config.prefixStyle = style == "default"     ? vetissim::PrefixStyle::Default
                                 : style == "generated" ? vetissim::PrefixStyle::Generated
                                                        : vetissim::PrefixStyle::Usual;
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else {
            std::cerr << "unknown argument " << arg << '\n';
            usage();
            return 2;
        }
    }

    vetissim::VetisSim sim(config);
    if (!sim.start()) {
        std::cerr << "vetis-sim: " << sim.errorString() << '\n';
        return 1;
    }
    std::cout << "vetis-sim listening on " << sim.baseUrl() << '\n';
    std::cout << "port " << sim.port() << '\n';
    if (!sim.caCertificatePath().empty())
        std::cout << "certificate " << sim.caCertificatePath() << '\n';
    std::cout << "user " << config.user << " password " << config.password << " apikey " << config.apiKey
              << " issuer " << config.issuerId << std::endl;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!g_quit)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sim.stop();
    return 0;
}
