#include "cli_commands.h"
#include "workspace/app_folder.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(qf::kApplicationName);
    qf::cli::Args args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return qf::cli::Run(args, std::cout, std::cerr);
}
