// The host program: import a text PCB file into a board document, tell whether a file is one,
// describe the importer, draw a saved board document, write it as a KiCad board, convert folders.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>

#include "standin/host/convert_command.h"
#include "standin/host/import_command.h"
#include "standin/host/import_options.h"
#include "viewers/kicad_export.h"
#include "standin/host/plugin_loader.h"
#include "standin/host/process_end.h"
#include "viewers/svg_writer_board.h"

int main(int argc, char** argv) {
  CLI::App app{"viderave: import text PCB files (PCB FILE 6, versions 1.10 to 2.80) into a board document"};
  app.require_subcommand(1);
  std::string plugin_path;
  app.add_option("--plugin", plugin_path, "importer module to load (default: libviderave.so beside this program)");

  ImportRequest request;
  CLI::App* import = app.add_subcommand("import", "import FILE and save its board document");
  ImportOptions import_options(*import, request);

  std::string recognise_file;
  CLI::App* recognise = app.add_subcommand("recognise", "print 1 when FILE is a text PCB file of this family, else 0");
  recognise->add_option("FILE", recognise_file)->required();

  app.add_subcommand("describe", "print the importer's description");

  std::string render_document, render_svg;
  bool render_quiet = false;
  CLI::App* render = app.add_subcommand("render", "draw a saved board document as an SVG picture");
  render->add_option("DOCUMENT", render_document, "the board document (JSON)")->required();
  render->add_option("--svg", render_svg, "where the picture goes (default: DOCUMENT.svg)");
  render->add_flag("--quiet", render_quiet, "no messages on the terminal");

  std::string export_document, export_kicad;
  bool export_quiet = false;
  CLI::App* exporter = app.add_subcommand("export", "write a saved board document as a KiCad 6 board");
  exporter->add_option("DOCUMENT", export_document, "the board document (JSON)")->required();
  exporter->add_option("--kicad", export_kicad, "the KiCad board file (.kicad_pcb)")->required();
  exporter->add_flag("--quiet", export_quiet, "no messages on the terminal");

  ConvertRequest convert_request;
  CLI::App* convert = app.add_subcommand("convert", "import every text PCB file under DIR and write KiCad boards");
  convert->add_option("DIR", convert_request.input_dir, "the folder of text PCB files")->required();
  convert->add_option("--kicad", convert_request.output_dir, "the folder the KiCad boards go to")->required();
  convert->add_option("--jobs", convert_request.jobs, "files converted at once (default: one per core)")
      ->check(CLI::Range(1, 1024));
  convert->add_flag("--quiet", convert_request.quiet, "no progress on the terminal");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : 2;
  }

  if (import->parsed()) {
    request.plugin_path = plugin_path;
    import_options.Complete();
    request.options.interactive = isatty(STDIN_FILENO) != 0;
    return EndAfterWork(RunImport(request));
  }
  if (render->parsed()) return RunRender(render_document, render_svg, render_quiet);
  if (exporter->parsed()) return RunExport(export_document, export_kicad, export_quiet);
  if (convert->parsed()) {
    convert_request.plugin_path = plugin_path;
    return RunConvert(convert_request);
  }
  const PluginModule plugin(plugin_path.empty() ? DefaultPluginPath() : plugin_path);
  if (!plugin.Loaded()) {
    std::cerr << "viderave: cannot load the importer: " << plugin.Error() << "\n";
    return 2;
  }
  if (recognise->parsed()) {
    const bool recognised = plugin.Recognised(recognise_file);
    std::cout << (recognised ? 1 : 0) << "\n";
    return recognised ? 0 : 1;
  }
  std::cout << plugin.Description() << "\n";
  return 0;
}
