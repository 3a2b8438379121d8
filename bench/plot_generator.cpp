// Writes the bench's plot files in 1 MB pieces: a seeded drawing of polygons, stars, ellipses
// and curves, and malformed files with no command end or one endless command.
#include "plot_generator.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Point {
    int x;
    int y;
};

void AppendCommand(std::string& out, const char* pen, Point p) {
    char text[32];
    int n = std::snprintf(text, sizeof text, "%s%d,%d;", pen, p.x, p.y);
    out.append(text, static_cast<size_t>(n));
}

void AppendContour(std::string& out, const std::vector<Point>& points) {
    AppendCommand(out, "PU", points[0]);
    for (size_t i = 1; i < points.size(); ++i) AppendCommand(out, "PD", points[i]);
    out += '\n';
}

// Shapes within a sheet of one metre square (40000 plotter units).
class ShapeMaker {
public:
    explicit ShapeMaker(uint32_t seed) : random_(seed) {}

    std::vector<Point> Next() {
        const int kind = Between(0, 9);
        const Point centre{Between(2000, 38000), Between(2000, 38000)};
        if (kind < 3) return Polygon(centre);
        if (kind < 4) return Star(centre);
        if (kind < 7) return Ellipse(centre);
        return OpenCurve(centre);
    }

private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    static Point Around(Point c, double radius, double angle) {
        return {c.x + static_cast<int>(radius * std::cos(angle)),
                c.y + static_cast<int>(radius * std::sin(angle))};
    }

    std::vector<Point> Polygon(Point c) {
        const int sides = Between(3, 12);
        std::vector<Point> points;
        for (int i = 0; i < sides; ++i)
            points.push_back(Around(c, Between(200, 2000), kTwoPi * i / sides));
        points.push_back(points[0]);
        return points;
    }

    std::vector<Point> Star(Point c) {
        const int tips = Between(5, 9);
        const int outer = Between(400, 2000);
        std::vector<Point> points;
        for (int i = 0; i < 2 * tips; ++i)
            points.push_back(Around(c, i % 2 == 0 ? outer : outer / 3, kTwoPi * i / (2 * tips)));
        points.push_back(points[0]);
        return points;
    }

    std::vector<Point> Ellipse(Point c) {
        const int segments = Between(32, 128);
        const double rx = Between(100, 3000);
        const double ry = rx * Between(40, 100) / 100.0;
        std::vector<Point> points;
        for (int i = 0; i < segments; ++i) {
            const double a = kTwoPi * i / segments;
            points.push_back({c.x + static_cast<int>(rx * std::cos(a)),
                              c.y + static_cast<int>(ry * std::sin(a))});
        }
        points.push_back(points[0]);
        return points;
    }

    // A cubic curve sampled in short steps, as lettering and outlines come out.
    std::vector<Point> OpenCurve(Point c) {
        const Point p[4] = {c,
                            {c.x + Between(-3000, 3000), c.y + Between(-3000, 3000)},
                            {c.x + Between(-3000, 3000), c.y + Between(-3000, 3000)},
                            {c.x + Between(-3000, 3000), c.y + Between(-3000, 3000)}};
        const int steps = Between(16, 64);
        std::vector<Point> points;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const double u = 1 - t;
            const double w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
            points.push_back(
                {static_cast<int>(w[0] * p[0].x + w[1] * p[1].x + w[2] * p[2].x + w[3] * p[3].x),
                 static_cast<int>(w[0] * p[0].y + w[1] * p[1].y + w[2] * p[2].y + w[3] * p[3].y)});
        }
        return points;
    }

    std::mt19937 random_;
};

// Writes `bytes` bytes, each block produced by `fill`, in pieces of about 1 MB.
template <typename Fill>
bool WriteInPieces(const std::filesystem::path& path, uint64_t bytes, Fill fill) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string piece;
    uint64_t written = 0;
    while (out && written < bytes) {
        piece.clear();
        fill(piece, bytes - written);
        if (piece.size() > bytes - written) piece.resize(static_cast<size_t>(bytes - written));
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        written += piece.size();
    }
    out.close();
    return !out.fail();
}

constexpr size_t kPiece = 1 << 20;

}  // namespace

bool WriteDrawing(const std::filesystem::path& path, uint64_t bytes, uint32_t seed) {
    ShapeMaker shapes(seed);
    bool first = true;
    return WriteInPieces(path, bytes, [&](std::string& piece, uint64_t) {
        if (first) piece += "IN;SP1;\n";
        first = false;
        while (piece.size() < kPiece) AppendContour(piece, shapes.Next());
    });
}

bool WriteLettersWithoutEnd(const std::filesystem::path& path, uint64_t bytes) {
    return WriteInPieces(path, bytes, [](std::string& piece, uint64_t) {
        for (size_t i = 0; i < kPiece; i += 4) piece += "PUPD";
    });
}

bool WriteEndlessCommand(const std::filesystem::path& path, uint64_t bytes, bool closed) {
    bool first = true;
    return WriteInPieces(path, bytes, [&](std::string& piece, uint64_t left) {
        if (first) piece += 'U';
        first = false;
        while (piece.size() < kPiece) piece += "1234567890";
        if (closed && piece.size() >= left) {
            piece.resize(static_cast<size_t>(left));
            piece.back() = ';';
        }
    });
}
