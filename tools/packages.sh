# Package sets shared by run.sh, package.sh and test.sh (sourced, not run).
# devscripts brings hardening-check for the package test.
BUILD_PACKAGES=(build-essential cmake qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
                libqt6svg6 qt6-qpa-plugins fonts-liberation2 fonts-dejavu-core fontconfig)
TEST_PACKAGES=(libbenchmark-dev clang-format cups cups-client cups-bsd printer-driver-cups-pdf
               poppler-utils xvfb xauth clang libclang-rt-14-dev
               desktop-file-utils appstream lintian devscripts)
