// Scanning a folder of JPEG photographs (3000 x 2000) into a complete thumbnail grid, three
// ways: with embedded EXIF thumbnails; without them and with an empty cache; and again
// with the cache filled. Each beside OpenCV's decode of the same files in the same run
// (cv::imread, one OpenCV thread), and beside our own full loads (load_image). With
// --benchmark_repetitions=N the closing table gives the medians of the N runs.
// VELTRUM_BENCH_FILES sets the number of files (default 300).
#include <FL/Fl_Group.H>
#include <benchmark/benchmark.h>

#include <libexif/exif-data.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include "bench/bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "browser/icon.h"
#include "browser/icon_view.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/jpeg_thumb.h"
#include "core/preferences.h"
#include "core/preferences_dlg.h"

namespace {

constexpr uint32_t k_width = 3000, k_height = 2000;
constexpr uint32_t k_thumb_w = 160, k_thumb_h = 120;  // a camera's usual embedded size

std::string g_root, g_plain, g_exif, g_store;
int g_files = 300;
// Wall-clock and process CPU seconds of every repetition, per benchmark. On a shared
// machine the CPU ratios are the steadier figures.
struct Times {
  std::vector<double> wall, cpu;
};
Times g_imread_s, g_decode_s, g_exif_s, g_empty_s, g_cached_s;

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Runs work once, records its times in into, and reports the wall time to the state.
template <class Work>
void timed(benchmark::State& state, Times& into, Work work) {
  const double cpu = cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  into.wall.push_back(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  into.cpu.push_back(cpu_seconds() - cpu);
  state.SetIterationTime(into.wall.back());
}
size_t g_tiles[3] = {0, 0, 0};

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_all(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string encoded(uint32_t w, uint32_t h) {
  const std::string path = g_root + "base.jpg";
  const std::vector<uint8_t> rgb = photo_like_rgb(w, h);
  write_jpeg(path, rgb.data(), w, h);
  std::string bytes = read_all(path);
  std::remove(path.c_str());
  return bytes;
}

// An APP1 segment with the camera's EXIF data: make, and the embedded thumbnail in IFD1.
std::string exif_segment(const std::string& thumbnail) {
  ExifData* data = exif_data_new();
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(data->ifd[EXIF_IFD_1], entry);
  exif_entry_initialize(entry, EXIF_TAG_COMPRESSION);
  exif_entry_unref(entry);
  ExifMem* mem = exif_mem_new_default();
  data->data = static_cast<unsigned char*>(exif_mem_alloc(mem, unsigned(thumbnail.size())));
  exif_mem_unref(mem);
  std::memcpy(data->data, thumbnail.data(), thumbnail.size());
  data->size = unsigned(thumbnail.size());
  unsigned char* bytes = nullptr;
  unsigned int size = 0;
  exif_data_save_data(data, &bytes, &size);
  exif_data_unref(data);
  std::string segment("\xff\xe1", 2);
  segment += char((size + 2) >> 8);
  segment += char((size + 2) & 0xff);
  segment.append(reinterpret_cast<const char*>(bytes), size);
  std::free(bytes);
  return segment;
}

// A comment segment naming the file, so every file has its own content and cache name.
std::string comment(int i) {
  const std::string text = "veltrum bench file " + std::to_string(i);
  std::string segment("\xff\xfe", 2);
  segment += char((text.size() + 2) >> 8);
  segment += char((text.size() + 2) & 0xff);
  return segment + text;
}

void make_files() {
  const std::string photo = encoded(k_width, k_height);
  const std::string thumb = exif_segment(encoded(k_thumb_w, k_thumb_h));
  for (int i = 0; i < g_files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.jpg", i);
    const std::string rest = comment(i) + photo.substr(2);
    write_all(g_plain + name, photo.substr(0, 2) + rest);
    write_all(g_exif + name, photo.substr(0, 2) + thumb + rest);
  }
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> files_of(const std::string& folder) {
  std::vector<std::string> paths;
  for (int i = 0; i < g_files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.jpg", i);
    paths.push_back(folder + name);
  }
  return paths;
}

// Seconds for a scan of folder into a fresh grid; the tile count goes to tiles.
double scan(const std::string& folder, size_t& tiles) {
  Fl_Group::current(nullptr);
  Icon_view view(0, 0, 750, 520);
  const auto start = std::chrono::steady_clock::now();
  view.load_directory(folder);
  const double s = seconds_since(start);
  tiles = 0;
  for (const Icon* tile : view.icons)
    if (tile->thumb_w > 0) ++tiles;
  return s;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void bm_opencv_imread(benchmark::State& state) {
  cv::setNumThreads(1);
  for (auto _ : state)
    timed(state, g_imread_s, [] {
      for (const std::string& path : files_of(g_plain)) {
        const cv::Mat bgr = cv::imread(path, cv::IMREAD_COLOR);
        benchmark::DoNotOptimize(bgr.data);
      }
    });
}

void bm_bare_decodes(benchmark::State& state) {
  for (auto _ : state)
    timed(state, g_decode_s, [] {
      for (const std::string& path : files_of(g_plain)) {
        Hdr_image image;
        load_image(image, path, k_type_jpeg);
        benchmark::DoNotOptimize(image.data());
      }
    });
}

void bm_scan_exif(benchmark::State& state) {
  for (auto _ : state) timed(state, g_exif_s, [] { scan(g_exif, g_tiles[0]); });
}

void bm_scan_empty_cache(benchmark::State& state) {
  for (auto _ : state) {
    clear_thumbnail_cache(user_data_folder());
    timed(state, g_empty_s, [] { scan(g_plain, g_tiles[1]); });
  }
}

void bm_scan_filled_cache(benchmark::State& state) {
  for (auto _ : state) timed(state, g_cached_s, [] { scan(g_plain, g_tiles[2]); });
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* n = std::getenv("VELTRUM_BENCH_FILES")) g_files = std::max(1, std::atoi(n));
  const char* tmp = std::getenv("TMPDIR");
  g_root = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrum_thumbnail_bench_" +
           std::to_string(getpid()) + "/";
  g_plain = g_root + "plain/";
  g_exif = g_root + "exif/";
  g_store = g_root + "store/";
  for (const std::string& dir : {g_root, g_plain, g_exif, g_store}) mkdir(dir.c_str(), 0755);
  // A store at <store>/<vendor>/<application>.prefs: its user-data folder (the cache) is
  // <store>/<vendor>/<application>/, as the user's own is under HOME.
  const std::string vendor_folder = g_store + k_preferences_vendor;
  Preferences store(vendor_folder.c_str(), k_preferences_vendor, k_preferences_application);
  g_preferences = &store;

  const auto setup = std::chrono::steady_clock::now();
  make_files();
  std::printf("setup: %d files of %u x %u written twice in %.1f s\n", g_files, k_width, k_height,
              seconds_since(setup));

  benchmark::Initialize(&argc, argv);
  for (auto* b :
       {benchmark::RegisterBenchmark("opencv_imread", bm_opencv_imread),
        benchmark::RegisterBenchmark("load_image_full_decodes", bm_bare_decodes),
        benchmark::RegisterBenchmark("scan_exif_thumbnails", bm_scan_exif),
        benchmark::RegisterBenchmark("scan_no_thumbnails_empty_cache", bm_scan_empty_cache),
        benchmark::RegisterBenchmark("scan_no_thumbnails_filled_cache", bm_scan_filled_cache)})
    b->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const double imread = median(g_imread_s.wall), imread_cpu = median(g_imread_s.cpu);
  if (imread > 0 && imread_cpu > 0) {
    std::printf(
        "\n%d files, medians of %zu runs; cv::imread %.3f s (%.1f ms per file), CPU %.3f s\n",
        g_files, g_imread_s.wall.size(), imread, 1000 * imread / g_files, imread_cpu);
    std::printf("%-34s %8s %8s %9s %8s %9s %6s %s\n", "work", "seconds", "ms/file", "x imread",
                "CPU s", "CPU x", "bound", "tiles");
    const struct {
      const char* name;
      const Times& t;
      double bound;
      const size_t* tiles;
    } rows[] = {{"load_image of every file", g_decode_s, 0, nullptr},
                {"scan, embedded EXIF thumbnails", g_exif_s, 0.1, &g_tiles[0]},
                {"scan, no thumbnails, empty cache", g_empty_s, 1.3, &g_tiles[1]},
                {"scan, no thumbnails, filled cache", g_cached_s, 0.1, &g_tiles[2]}};
    for (const auto& r : rows) {
      const double wall = median(r.t.wall), cpu = median(r.t.cpu);
      if (wall <= 0) continue;
      std::printf("%-34s %8.3f %8.2f %9.3f %8.3f %9.3f ", r.name, wall, 1000 * wall / g_files,
                  wall / imread, cpu, cpu / imread_cpu);
      if (r.bound > 0)
        std::printf("%6.2f ", r.bound);
      else
        std::printf("%6s ", "-");
      if (r.tiles) std::printf("%zu", *r.tiles);
      std::printf("%s\n", r.bound == 0 || wall / imread <= r.bound ? "" : "  OVER BOUND");
    }
  }
  g_preferences = nullptr;
  std::error_code error;
  std::filesystem::remove_all(g_root, error);
  return 0;
}
