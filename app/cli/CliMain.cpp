// lumetra-cli: the headless front end on the same engine as the desktop program.

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/TagsCommand.h"

namespace {

// Bad options and missing arguments end with exit code 2 and one line on stderr.
constexpr int kUsageError = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Lumetra: how a folder of photos was taken, from their Exif data"};
  app.require_subcommand(1);

  lumetra::cli::TagsOptions tags_options;
  std::vector<std::string> tags_files;
  CLI::App* tags = app.add_subcommand("tags", "List the tags the metadata reader sees in each file");
  tags->add_flag("--json", tags_options.json, "Print a JSON array, one object per file");
  tags->add_flag("--iptc", tags_options.iptc, "Also list the IPTC datasets of the first APP13 segment");
  tags->add_option("FILE", tags_files, "Photo files (.jpg, .jpeg, .jpe, .tif, .tiff, .nef)")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::cerr << "lumetra-cli: " << error.what() << " (try --help)\n";
    return kUsageError;
  }

  if (tags->parsed()) return lumetra::cli::RunTagsCommand(tags_files, tags_options, std::cout, std::cerr);
  return kUsageError;
}
