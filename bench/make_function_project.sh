#!/bin/sh
# Writes a project whose only object is a function curve of N points (t = 0, 1, ..., N-1):
# three turns of a helix of radius 10 around the z axis, rising from z = -5 to z = 5, in
# the middle of the default view volume, so that the perspective view shows all of it.
#
#   bench/make_function_project.sh N OUT.ovp
#
# N may be at most 1,000,000, the most points a function object may have.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 N OUT.ovp" >&2
    exit 1
fi
n=$1
out=$2
case $n in
    '' | *[!0-9]*) echo "$0: N must be a whole number" >&2; exit 1 ;;
esac
if [ "$n" -lt 2 ] || [ "$n" -gt 1000000 ]; then
    echo "$0: N must lie between 2 and 1000000" >&2
    exit 1
fi

# Each step of t turns by 6 pi / (N - 1) and rises by 10 / (N - 1). The formulas keep to
# plain decimals: the evaluator reads no exponent notation.
last=$((n - 1))

cat > "$out" <<PROJECT
Name = Helix$n
Tree = {
  Name = Helix$n
  NodeType = 0
  Hidden = 0
  ShowVanishPoint = 0
  RotateX = 0
  RotateY = 0
  RotateZ = 0
  ChildCount = 1
  Child1 = {
    Name = Helix
    NodeType = 5
    Hidden = 0
    ShowVanishPoint = 0
    RotateX = 0
    RotateY = 0
    RotateZ = 0
    Function = {
      Matrix = {
        RefPoint = {
          x = 0
          y = 0
          z = 0
        }
        d11 = 1
        d12 = 0
        d13 = 0
        d21 = 0
        d22 = 1
        d23 = 0
        d31 = 0
        d32 = 0
        d33 = 1
      }
      TFrom = 0
      TTo = $last
      TStep = 1
      FncCount = 6
      Fnc1 = x;1;t;10*COS(t*18.849555921538759/$last);
      Fnc2 = y;1;t;10*SIN(t*18.849555921538759/$last);
      Fnc3 = z;1;t;t*10/$last-5;
      Fnc4 = From;0;0;
      Fnc5 = To;0;$last;
      Fnc6 = Step;0;1;
    }
  }
}
Perspective = {
  EyePoint = {
    x = 20
    y = 20
    z = 10
  }
  Normal = {
    x = -20
    y = -20
    z = -10
  }
  ViewUp = {
    x = 0
    y = 0
    z = 1
  }
  u-min = -.25
  u-max = .25
  v-min = -.177304964539007
  v-max = .177304964539007
  UVRatio = 1.41
  Distance = .5
  FrontClipping = 0
  BackClipping = -50
  FieldAngle = 30
  Field = 4
  ClipBack = 0
  ShowVanishLines = 1
  ShowHorizon = 1
  ShowCenter = 0
  Horizon = {
    x = 0
    y = 0
    z = 1
  }
  HorizonOffset = 0
}
ShowRulers = 0
ShowGrid = 1
Precision = 4
ShowAxes = 1
ViewVolumeMin = {
  x = -20
  y = -20
  z = -20
}
ViewVolumeMax = {
  x = 20
  y = 20
  z = 20
}
AutoGrid = 1
MinorGrid = 1
MajorGrid = 5
AutoNudge = 1
NudgeOffset = 1
AngleStep = 3
Line = {
  Width = 1
  Style = 1
  Color = {
    RGBColor = 16711680
  }
}
GridMinor = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 14474460
  }
}
GridMajor = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 12632256
  }
}
GridHorizon = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 8421504
  }
}
Horizon = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 32768
  }
}
VanishLine = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 6618980
  }
}
CenterOfView = {
  Width = .25
  Style = 1
  Color = {
    RGBColor = 0
  }
}
Notes = 
FncCount = 0
PROJECT
