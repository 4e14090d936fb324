# Sourced by the scripts: installs the Debian packages this project needs
# when any of them is missing (a fresh Debian 12 machine has none of them).
tessaro_install_deps() {
  local wanted=(build-essential cmake ninja-build googletest libgtest-dev libbenchmark-dev qt6-base-dev mkgmap xvfb clang libclang-rt-14-dev python3 dpkg-dev desktop-file-utils appstream man-db)
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}
