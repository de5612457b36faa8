"""Builds korvane_energy's extension with the project's own CMake build (the module's target only)."""

import os
import re
import shutil
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DKORVANE_WITH_GUI=OFF", "-DBUILD_TESTING=OFF", f"-DPython3_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        self.spawn(configure)
        self.spawn(["cmake", "--build", str(build), "--target", "korvane_python", "-j", str(os.cpu_count() or 1)])
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        target.parent.mkdir(parents=True, exist_ok=True)
        built = build / "python" / "korvane_energy"
        shutil.copy2(next(built.glob("_core*.so")), target)
        for data in ("DEFAULT.GEO", "SITE_ALIASES.txt"):
            shutil.copy2(built / data, target.parent / data)


version = re.search(r"project\(korvane_energy VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)
setup(version=version, ext_modules=[Extension("korvane_energy._core", sources=[])],
      cmdclass={"build_ext": CMakeBuild}, options={"build": {"build_base": "build/setuptools"}})
