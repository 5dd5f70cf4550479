/* Writes the EDF and BDF samples of the preview's tests with Debian's EDF library
 * (libedf-dev), so that the reader is tested on files another program wrote:
 *   cc make-edf-samples.c -ledf -lm -o make-edf-samples && ./make-edf-samples
 * sample.edf (EDF+, 100 Hz, 2 s): 1 "Sine" 3000 mV at 2 Hz; 2 "Step" -1.5 V then 1.5 V
 *   at 1 s, in uV; 3 "Temp" 20 + 5 t degC; and the annotations signal the library adds.
 * sample.bdf (BDF+, 256 Hz, 2 s): 1 "Sine" 500 uV at 5 Hz; 2 "Ramp" -200 + 200 t mV in uV.
 * mixed.edf (EDF+, 2 s): 1 at 100 Hz, 2 at 200 Hz. */
#include <edflib.h>
#include <math.h>
#include <stdio.h>

static int open_file(const char *path, int type, int signals, const int *rates, const char **labels,
                     const char **units, const double *low, const double *high)
{
    int handle = edfopen_file_writeonly(path, type, signals);
    int bdf = type == EDFLIB_FILETYPE_BDFPLUS;
    for (int s = 0; s < signals && handle >= 0; s++) {
        edf_set_samplefrequency(handle, s, rates[s]);
        edf_set_physical_minimum(handle, s, low[s]);
        edf_set_physical_maximum(handle, s, high[s]);
        edf_set_digital_minimum(handle, s, bdf ? -8388608 : -32768);
        edf_set_digital_maximum(handle, s, bdf ? 8388607 : 32767);
        edf_set_label(handle, s, labels[s]);
        edf_set_physical_dimension(handle, s, units[s]);
    }
    return handle;
}

/* Sample i of signal s at time t of the file being written. */
typedef double (*Value)(int s, double t);

static const double pi = 3.14159265358979323846;
static double edf_value(int s, double t) { return s == 0 ? 3000 * sin(2 * pi * 2 * t) : s == 1 ? (t < 1 ? -1500000 : 1500000) : 20 + 5 * t; }
static double bdf_value(int s, double t) { return s == 0 ? 500 * sin(2 * pi * 5 * t) : -200000 + 200000 * t; }
static double zero(int s, double t) { (void)s; (void)t; return 0; }

/* Two records of one second. */
static void write_file(const char *path, int type, int signals, const int *rates, const char **labels,
                       const char **units, const double *low, const double *high, Value value)
{
    double buffer[256];
    int h = open_file(path, type, signals, rates, labels, units, low, high);
    for (int record = 0; record < 2; record++)
        for (int s = 0; s < signals; s++) {
            for (int i = 0; i < rates[s]; i++)
                buffer[i] = value(s, record + (double)i / rates[s]);
            edfwrite_physical_samples(h, buffer);
        }
    edfclose_file(h);
}

int main(void)
{
    {
        const int rates[] = {100, 100, 100};
        const char *labels[] = {"Sine", "Step", "Temp"};
        const char *units[] = {"mV", "uV", "degC"};
        const double low[] = {-5000, -2000000, 0}, high[] = {5000, 2000000, 100};
        write_file("sample.edf", EDFLIB_FILETYPE_EDFPLUS, 3, rates, labels, units, low, high, edf_value);
    }
    {
        const int rates[] = {256, 256};
        const char *labels[] = {"Sine", "Ramp"};
        const char *units[] = {"uV", "uV"};
        const double low[] = {-1000, -500000}, high[] = {1000, 500000};
        write_file("sample.bdf", EDFLIB_FILETYPE_BDFPLUS, 2, rates, labels, units, low, high, bdf_value);
    }
    {
        const int rates[] = {100, 200};
        const char *labels[] = {"Slow", "Fast"};
        const char *units[] = {"mV", "mV"};
        const double low[] = {-100, -100}, high[] = {100, 100};
        write_file("mixed.edf", EDFLIB_FILETYPE_EDFPLUS, 2, rates, labels, units, low, high, zero);
    }
    return 0;
}
