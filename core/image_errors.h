// Exceptions of the image readers and writers: a fixed text followed by the file path.
#pragma once
#include <stdexcept>
#include <string>

class Read_error : public std::runtime_error {
public:
  explicit Read_error(const std::string& what) : std::runtime_error(what) {}
};

class Write_error : public std::runtime_error {
public:
  explicit Write_error(const std::string& what) : std::runtime_error(what) {}
};
