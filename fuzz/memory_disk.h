#pragma once
// The file primitives over a map in memory, keeping the one rule the core
// relies on: a file held by a load refuses a save. Every write is recorded.
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "store/disk.h"

struct MemoryDisk : Disk {
    std::map<Text, Text> files;  // path -> bytes
    std::map<FileId, Text> held;
    std::vector<std::pair<Text, Text>> writes;  // path, bytes, in order
    FileId next_id = 1;

    std::optional<FileId> open_for_load(const Text& path) override {
        if (path.empty() || !files.count(path)) return std::nullopt;
        held[next_id] = path;
        return next_id++;
    }
    std::optional<FileBytes> read_file(FileId file) override {
        const auto found = held.find(file);
        if (found == held.end()) return std::nullopt;
        const Text& bytes = files[found->second];
        FileBytes out;
        out.data = try_allocate_buffer(bytes.size());
        out.size = bytes.size();
        if (!bytes.empty()) std::memcpy(out.data.get(), bytes.data(), bytes.size());
        return out;
    }
    bool write_whole_file(const Text& path, const Text& bytes) override {
        if (path.empty()) return false;
        for (const auto& entry : held)
            if (entry.second == path) return false;
        files[path] = bytes;
        writes.emplace_back(path, bytes);
        return true;
    }
    void close_all_files() override { held.clear(); }
};
